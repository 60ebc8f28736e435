#include "ui/pages/DesignerSheet.h"

#include "base/TextHelpers.h"
#include "devices/DeviceFluidName.h"
#include "devices/DeviceRegistry.h"
#include "ui/ContextHelp.h"
#include "ui/Icons.h"
#include "ui/Named.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QBoxLayout>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>

Q_LOGGING_CATEGORY(lcDesigner, "Designer", QtWarningMsg)

namespace {

const QString SliderPrefix = QStringLiteral("TrackBarDesignerDynamic_");
const QString FieldPrefix = QStringLiteral("DoubleEditDynamic_");

constexpr int GroupHeight = 50;
constexpr int FieldRightSpace = 15;
constexpr int FieldWidth = 45;
constexpr int PanelBottomSpace = 15;
constexpr int ScrollBarWidth = 10;
constexpr int DevicePercentMaximum = 100;

} // namespace

TDesignerSheet::TDesignerSheet(TContextHelp& help, std::function<QStringList()> selectedPorts, QWidget* parent)
    : QWidget(parent)
    , help(help)
    , selectedPorts(std::move(selectedPorts))
{
    setObjectName(QStringLiteral("TabSheet1"));

    MixDesignGroupBox = Named(new QGroupBox(QStringLiteral("Time")), "MixDesignGroupBox");
    TrackBarDesignerTime = Named(new QSlider(Qt::Horizontal), "TrackBarDesignerTime");
    TrackBarDesignerTime->setRange(0, 10);
    TrackBarDesignerTime->setSingleStep(10);
    TrackBarDesignerTime->setPageStep(10);
    RtDoubleEditDesignMixTime = Named(new TRtDoubleEdit, "RtDoubleEditDesignMixTime");
    RtDoubleEditDesignMixTime->setFixedWidth(80);
    RtDoubleEditDesignMixTime->installEventFilter(this);
    auto* timeLayout = new QHBoxLayout(MixDesignGroupBox);
    timeLayout->addWidget(TrackBarDesignerTime, 1);
    timeLayout->addWidget(RtDoubleEditDesignMixTime);

    FlowPanelControls = Named(new QWidget, "FlowPanelControls");
    FlowPanelControls->setBackgroundRole(QPalette::Base);
    auto* panelLayout = new QVBoxLayout(FlowPanelControls);
    panelLayout->setContentsMargins(0, 0, 0, PanelBottomSpace);
    panelLayout->setSpacing(0);
    ScrollBoxFlow = Named(new QScrollArea, "ScrollBoxFlow");
    ScrollBoxFlow->setFrameShape(QFrame::NoFrame);
    ScrollBoxFlow->setBackgroundRole(QPalette::Base);
    ScrollBoxFlow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBoxFlow->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBoxFlow->verticalScrollBar()->setFixedWidth(ScrollBarWidth);
    // The panel is as tall as its groups: below it the pointer is over the
    // scroll box itself.
    ScrollBoxFlow->setWidgetResizable(false);
    ScrollBoxFlow->setWidget(FlowPanelControls);
    ScrollBoxFlow->installEventFilter(this);

    MemoMixDesigner = Named(new QPlainTextEdit(QStringLiteral("MemoMixResult")), "MemoMixDesigner");
    MemoMixDesigner->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    MemoMixDesigner->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoMixDesigner->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    EditNoteDesigner = Named(new QLineEdit, "EditNoteDesigner");
    BitBtnDesignerApply =
        Named(new QPushButton(TarvoIcon(QStringLiteral("checkmark")), QStringLiteral("Apply to device(s)")),
              "BitBtnDesignerApply");
    auto* applyRow = new QHBoxLayout;
    applyRow->addWidget(Named(new QLabel(QStringLiteral("Note")), "LabelNoteDesigner"));
    applyRow->addWidget(EditNoteDesigner, 1);
    applyRow->addWidget(BitBtnDesignerApply);

    auto* left = new QVBoxLayout;
    left->addWidget(MixDesignGroupBox);
    left->addWidget(Named(new QLabel(QStringLiteral("Device flows")), "Label10"));
    left->addWidget(ScrollBoxFlow, 1);
    left->addLayout(applyRow);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(MemoMixDesigner, 1);

    connect(TrackBarDesignerTime, &QSlider::valueChanged, this, &TDesignerSheet::TrackBarDesignerTimeChange);
    connect(RtDoubleEditDesignMixTime, &TRtDoubleEdit::ValueChanged, this,
            &TDesignerSheet::RtDoubleEditDesignMixTimeValueChanged);
    connect(BitBtnDesignerApply, &QPushButton::clicked, this, &TDesignerSheet::ApplyClicked);
}

void TDesignerSheet::SetTimeCaption(const QString& caption)
{
    MixDesignGroupBox->setTitle(caption);
}

double TDesignerSheet::DesignTime() const
{
    return RtDoubleEditDesignMixTime->Value();
}

QString TDesignerSheet::Note() const
{
    return EditNoteDesigner->text();
}

QList<QGroupBox*> TDesignerSheet::DeviceGroups() const
{
    return FlowPanelControls->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
}

QSlider* TDesignerSheet::DeviceSlider(const QString& port) const
{
    return ScrollBoxFlow->findChild<QSlider*>(SliderPrefix + port);
}

TRtDoubleEdit* TDesignerSheet::DeviceField(const QString& port) const
{
    return ScrollBoxFlow->findChild<TRtDoubleEdit*>(FieldPrefix + port);
}

QList<TDesignedFlow> TDesignerSheet::DesignedFlows() const
{
    QList<TDesignedFlow> flows;
    for (QGroupBox* group : DeviceGroups()) {
        auto* field = group->findChild<TRtDoubleEdit*>();
        if (field && field->objectName().startsWith(FieldPrefix))
            flows.append({field->objectName().mid(FieldPrefix.size()), field->Value()});
    }
    return flows;
}

void TDesignerSheet::MixMakerComponentSetup()
{
    ScrollBoxFlow->setUpdatesEnabled(false);
    // Deleted at once: the handlers look the controls up by name right after.
    qDeleteAll(DeviceGroups());
    double longestProgram = 0;
    for (const QString& port : selectedPorts()) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device))
            continue;
        longestProgram = qMax(longestProgram, ProgramEndTime(device.SegmentProgram));
        AddDeviceGroup(device);
    }
    FitFlowPanel();
    ScrollBoxFlow->setUpdatesEnabled(true);
    if (longestProgram != 0) {
        TrackBarDesignerTime->setMaximum(DesignerTimeSliderMaximum(longestProgram));
        TrackBarDesignerTime->setSingleStep(1);
        TrackBarDesignerTime->setPageStep(10);
    }
}

void TDesignerSheet::AddDeviceGroup(const TDeviceInfo& device)
{
    auto* group = new QGroupBox(device.COMPort + QStringLiteral(" - ") + DeviceFluidName(device) + QStringLiteral(" - ")
                                + device.FlowUnitUser.Name);
    group->setObjectName(QStringLiteral("GroupBoxDesignerDynamic_") + device.COMPort);
    group->setFixedHeight(GroupHeight);

    auto* slider = new QSlider(Qt::Horizontal, group);
    slider->setObjectName(SliderPrefix + device.COMPort);
    slider->setRange(0, DevicePercentMaximum);
    slider->setTickPosition(QSlider::TicksBelow);
    connect(slider, &QSlider::valueChanged, this, [this, slider] { DesignerChange(slider); });

    auto* field = new TRtDoubleEdit(group);
    field->setObjectName(FieldPrefix + device.COMPort);
    field->setFixedWidth(FieldWidth);
    field->SetMinValue(0);
    field->SetMaxValue(DesignerFullScale(device));
    field->installEventFilter(this);
    help.Attach(field);

    // The group box keeps the room for its caption above the controls.
    auto* layout = new QHBoxLayout(group);
    layout->setContentsMargins(0, 0, FieldRightSpace, 0);
    layout->addWidget(slider, 1);
    layout->addWidget(field);

    FlowPanelControls->layout()->addWidget(group);
    // Shown now, not when the event loop gets to it: the panel's height
    // counts only visible groups.
    group->show();
}

void TDesignerSheet::FitFlowPanel()
{
    FlowPanelControls->resize(ScrollBoxFlow->width() - ScrollBarWidth, FlowPanelControls->layout()->sizeHint().height());
}

bool TDesignerSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ScrollBoxFlow && event->type() == QEvent::Resize)
        FitFlowPanel();
    if (event->type() == QEvent::KeyRelease) {
        if (watched == RtDoubleEditDesignMixTime)
            RtDoubleEditDesignMixTimeKeyUp();
        else if (auto* field = qobject_cast<TRtDoubleEdit*>(watched))
            RtDoubleEditDynamicKeyUp(field);
    }
    return QWidget::eventFilter(watched, event);
}

void TDesignerSheet::TrackBarDesignerTimeChange()
{
    if (!RtDoubleEditDesignMixTime->hasFocus())
        RtDoubleEditDesignMixTime->SetValue(TrackBarDesignerTime->value() / 10.0);
}

void TDesignerSheet::RtDoubleEditDesignMixTimeKeyUp()
{
    RtDoubleEditDesignMixTime->TakeTypedValue();
    const double minutes = RtDoubleEditDesignMixTime->Value();
    if (minutes > TrackBarDesignerTime->maximum() / 10.0)
        TrackBarDesignerTime->setMaximum(DesignerTimeSliderMaximum(minutes));
    TrackBarDesignerTime->setValue(DesignerTimeSliderPosition(minutes));
}

void TDesignerSheet::RtDoubleEditDesignMixTimeValueChanged()
{
    const double minutes = RtDoubleEditDesignMixTime->Value();
    emit DesignTimeChanged(minutes);
    for (const QString& port : selectedPorts()) {
        TDeviceInfo device;
        QSlider* slider = DeviceSlider(port);
        TRtDoubleEdit* field = DeviceField(port);
        if (!GetDeviceByPort(port, device) || !slider || !field)
            continue;
        const double percent = DesignerProgrammedPercent(device, minutes);
        slider->setValue(int(RoundHalfEven(percent)));
        field->SetValue(percent / 100 * DesignerFullScale(device));
    }
    ShowNewMix(QStringLiteral("RtDoubleEditDesignMixTimeValueChanged"));
}

void TDesignerSheet::DesignerChange(QObject* Sender)
{
    if (!Sender)
        return;
    const QString port = Sender->objectName().section(QLatin1Char('_'), 1, 1);
    TDeviceInfo device;
    if (port.isEmpty() || !GetDeviceByPort(port, device))
        return;
    const double fullScale = DesignerFullScale(device);
    if (auto* slider = qobject_cast<QSlider*>(Sender)) {
        TRtDoubleEdit* field = DeviceField(port);
        if (field && (slider->hasFocus() || !field->hasFocus()))
            field->SetValue(DesignedFlowFromSlider(fullScale, slider->value(), slider->maximum()));
        // Slider moves made by a time change are summed up once by it.
        if (help.MouseOverName() == QLatin1String("ScrollBoxFlow"))
            ShowNewMix(QStringLiteral("DesignerChange"));
    } else if (auto* field = qobject_cast<TRtDoubleEdit*>(Sender)) {
        QSlider* slider = DeviceSlider(port);
        if (slider && field->hasFocus() && fullScale > 0)
            slider->setValue(DesignerSliderFromFlow(field->Value(), fullScale, slider->maximum()));
    }
}

void TDesignerSheet::RtDoubleEditDynamicKeyUp(TRtDoubleEdit* Sender)
{
    Sender->TakeTypedValue();
    const double flow = Sender->Value();
    const double snapped = SnappedDesignedFlow(flow, Sender->MaxValue());
    if (snapped != flow)
        Sender->SetValue(snapped);
    DesignerChange(Sender);
    ShowNewMix(QStringLiteral("RtDoubleEditDynamicKeyUp"));
}

void TDesignerSheet::ShowNewMix(const QString& Caller)
{
    qCDebug(lcDesigner).noquote() << "ShowNewMix from" << Caller;
    if (DeviceGroups().isEmpty() || selectedPorts().isEmpty())
        return;
    MemoMixDesigner->setPlainText(DesignedMixtureText(DesignedFlows()));
}
