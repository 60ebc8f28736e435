#include "ui/pages/SegmentSheet.h"

#include "devices/DeviceInfo.h"
#include "engine/FlowUnitDisplay.h"
#include "segments/SegmentTable.h"
#include "ui/Icons.h"
#include "ui/Named.h"
#include "ui/ReportList.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

TSegmentSheet::TSegmentSheet(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TabSheetSegment"));
    LabelSegmentStartTime = Named(new QLabel, "LabelSegmentStartTime");
    LabelSelectedDeviceNameRole = Named(new QLabel(QStringLiteral("Name or role")), "LabelSelectedDeviceNameRole");
    RtDoubleEditDevMaxFlow = Named(new TRtDoubleEdit, "RtDoubleEditDevMaxFlow");
    RtDoubleEditDevMaxFlow->setReadOnly(true);
    RtDoubleEditDevMaxFlow->SetShownDigits(FlowShownDigits);
    LabelSpecifiedFlowUnit = Named(new QLabel(QStringLiteral("Flow unit")), "LabelSpecifiedFlowUnit");
    RtDoubleEditSegmentFlow = Named(new TRtDoubleEdit, "RtDoubleEditSegmentFlow");
    RtDoubleEditSegmentFlow->SetMaxValue(100);
    LabelResultingFlowinSpecifiedUnit =
        Named(new QLabel(QStringLiteral("Resulting flow in specified unit")), "LabelResultingFlowinSpecifiedUnit");

    auto* editors = new QGridLayout;
    editors->addWidget(Named(new QLabel(QStringLiteral("Selected device")), "LabelSelectedDevice"), 0, 0);
    editors->addWidget(LabelSelectedDeviceNameRole, 0, 1, 1, 2);
    editors->addWidget(Named(new QLabel(QStringLiteral("Maximum flow")), "LabelDeviceMaxFlow"), 1, 0);
    editors->addWidget(RtDoubleEditDevMaxFlow, 1, 1);
    editors->addWidget(LabelSpecifiedFlowUnit, 1, 2);
    editors->addWidget(LabelSegmentStartTime, 2, 0);
    editors->addWidget(Named(new QLabel(QStringLiteral("Segment flow, %")), "LabelSegmentFow"), 3, 0);
    editors->addWidget(RtDoubleEditSegmentFlow, 3, 1);
    editors->addWidget(LabelResultingFlowinSpecifiedUnit, 3, 2);
    editors->setColumnStretch(2, 1);

    BitBtn1 = Named(new QPushButton(TarvoIcon(QStringLiteral("play")), QStringLiteral("Start segment program(s)")),
                    "BitBtn1");
    BitBtn2 = Named(new QPushButton(TarvoIcon(QStringLiteral("stop")), QStringLiteral("Stop segment program(s)")),
                    "BitBtn2");
    auto* selected = Named(new QGroupBox(QStringLiteral("Selected devices")), "GroupBoxSegmentProgram");
    auto* buttons = new QHBoxLayout(selected);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    ListViewSegmentProgram = ReportList("ListViewSegmentProgram", {QStringLiteral("Time, m"), QStringLiteral("Flow, %"),
                                                                   QStringLiteral("Type"), QStringLiteral("Note")});
    ListViewSegmentProgram->setSelectionMode(QAbstractItemView::SingleSelection);
    const int widths[] = {51, 60, 45, 75};
    for (int column = 0; column < 4; ++column)
        ListViewSegmentProgram->setColumnWidth(column, widths[column]);
    ListViewSegmentProgram->viewport()->installEventFilter(this);
    // Until a device is shown, the list holds an example program.
    ShowSegmentRows(QStringLiteral("0 0 Step\r\n10 0.7525 Step\r\n30 65 Ramp\r\n60 100 Step\r\n65 0 Step"));

    auto* left = new QVBoxLayout;
    left->addLayout(editors);
    left->addWidget(selected);
    left->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(ListViewSegmentProgram, 1);

    BuildSegmentPopupMenu();
    connect(BitBtn1, &QPushButton::clicked, this, &TSegmentSheet::StartClicked);
    connect(BitBtn2, &QPushButton::clicked, this, &TSegmentSheet::StopClicked);
    connect(RtDoubleEditSegmentFlow, &TRtDoubleEdit::ValueChanged, this, &TSegmentSheet::SegmentFlowChanged);
}

void TSegmentSheet::BuildSegmentPopupMenu()
{
    PopupMenuSegment = Named(new QMenu(this), "PopupMenuSegment");
    // The items' names are the other way round from their captions; each
    // caption goes with the action it names.
    QAction* load = PopupMenuSegment->addAction(QStringLiteral("Load Segment Program"));
    load->setObjectName(QStringLiteral("SaveSegmentProgramAs1"));
    QAction* save = PopupMenuSegment->addAction(QStringLiteral("Save Segment Program As"));
    save->setObjectName(QStringLiteral("LoadSegmentProgram2"));
    connect(load, &QAction::triggered, this, &TSegmentSheet::LoadProgramClicked);
    connect(save, &QAction::triggered, this, &TSegmentSheet::SaveProgramClicked);
}

bool TSegmentSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListViewSegmentProgram->viewport() && event->type() == QEvent::MouseButtonRelease)
        ListViewSegmentProgramMouseUp(static_cast<QMouseEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

void TSegmentSheet::ListViewSegmentProgramMouseUp(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        return;
    // Right-aligned: the menu opens to the left of the pointer.
    const QPoint pointer = event->globalPosition().toPoint();
    PopupMenuSegment->popup(pointer - QPoint(PopupMenuSegment->sizeHint().width(), 0));
}

void TSegmentSheet::ShowDevice(const TDeviceInfo& device)
{
    LabelSelectedDeviceNameRole->setText(device.NameRole + u' ' + DeviceInstrumentName(device.DevType) + u' '
                                         + DeviceTypeName(device.DevType));
    ShowSegmentRows(device.SegmentProgram);
}

void TSegmentSheet::ShowSegmentRows(const QString& program)
{
    QList<TSegmentRow> rows;
    TextToSegmentRows(program, rows);
    ListViewSegmentProgram->clear();
    for (const TSegmentRow& row : std::as_const(rows))
        new QTreeWidgetItem(ListViewSegmentProgram, row);
}

void TSegmentSheet::ShowMaxFlow(double maxFlow, const QString& unitName)
{
    RtDoubleEditDevMaxFlow->SetValue(maxFlow);
    LabelSpecifiedFlowUnit->setText(unitName);
}

void TSegmentSheet::ShowResultingFlow(const QString& text)
{
    LabelResultingFlowinSpecifiedUnit->setText(text);
}

void TSegmentSheet::SetTimeUnitSuffix(const QString& suffix)
{
    LabelSegmentStartTime->setText(QStringLiteral("Start time, ") + suffix);
}

double TSegmentSheet::SegmentFlow() const
{
    return RtDoubleEditSegmentFlow->Value();
}
