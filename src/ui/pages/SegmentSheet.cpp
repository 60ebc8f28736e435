#include "ui/pages/SegmentSheet.h"

#include "base/TextHelpers.h"
#include "devices/DeviceInfo.h"
#include "engine/FlowUnitDisplay.h"
#include "engine/SegmentDesign.h"
#include "segments/SegmentTable.h"
#include "ui/Icons.h"
#include "ui/Named.h"
#include "ui/ReportList.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QAction>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

const QString StepCaption = QStringLiteral("Step");
const QString RampCaption = QStringLiteral("Ramp");

} // namespace

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
    RtDoubleEditSegmentTime = Named(new TRtDoubleEdit, "RtDoubleEditSegmentTime");
    LabelSegmentStartTimeTimeConversions =
        Named(new QLabel(QStringLiteral("Time conversions")), "LabelSegmentStartTimeTimeConversions");
    BitBtn3 = Named(new QPushButton, "BitBtn3");
    ShowSegmentType(false);
    EditNote = Named(new QLineEdit, "EditNote");
    editors->addWidget(LabelSegmentStartTime, 2, 0);
    editors->addWidget(RtDoubleEditSegmentTime, 2, 1);
    editors->addWidget(LabelSegmentStartTimeTimeConversions, 2, 2);
    editors->addWidget(Named(new QLabel(QStringLiteral("Segment flow, %")), "LabelSegmentFow"), 3, 0);
    editors->addWidget(RtDoubleEditSegmentFlow, 3, 1);
    editors->addWidget(LabelResultingFlowinSpecifiedUnit, 3, 2);
    editors->addWidget(Named(new QLabel(QStringLiteral("Segment type")), "LabelSegmentType"), 4, 0);
    editors->addWidget(BitBtn3, 4, 1);
    editors->addWidget(Named(new QLabel(QStringLiteral("Note")), "LabelNote"), 5, 0);
    editors->addWidget(EditNote, 5, 1, 1, 2);
    editors->setColumnStretch(2, 1);

    BitBtn4 = Named(new QPushButton(TarvoIcon(QStringLiteral("plusb")), QStringLiteral("Add / Apply Segment")), "BitBtn4");
    BitBtn5 = Named(new QPushButton(TarvoIcon(QStringLiteral("minusb")), QStringLiteral("Delete segment")), "BitBtn5");
    auto* edits = new QHBoxLayout;
    edits->addWidget(BitBtn4);
    edits->addWidget(BitBtn5);
    edits->addStretch();

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
    left->addWidget(BuildTerminationGroup());
    left->addLayout(edits);
    left->addWidget(selected);
    left->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(ListViewSegmentProgram, 1);

    BuildSegmentPopupMenu();
    connect(BitBtn1, &QPushButton::clicked, this, &TSegmentSheet::StartClicked);
    connect(BitBtn2, &QPushButton::clicked, this, &TSegmentSheet::StopClicked);
    connect(RtDoubleEditSegmentFlow, &TRtDoubleEdit::ValueChanged, this, &TSegmentSheet::SegmentFlowChanged);
    connect(RtDoubleEditSegmentTime, &TRtDoubleEdit::ValueChanged, this,
            &TSegmentSheet::RtDoubleEditSegmentTimeValueChanged);
    connect(BitBtn3, &QPushButton::clicked, this, &TSegmentSheet::ButtonSegmentTypeClick);
    connect(BitBtn4, &QPushButton::clicked, this, &TSegmentSheet::ButtonSegmentApplyClick);
    connect(BitBtn5, &QPushButton::clicked, this, &TSegmentSheet::ButtonSegmentDeleteClick);
    connect(ListViewSegmentProgram, &QTreeWidget::itemSelectionChanged, this,
            &TSegmentSheet::ListViewSegmentProgramChange);
}

QGroupBox* TSegmentSheet::BuildTerminationGroup()
{
    RadioGroupSegmentTerminationType =
        Named(new QGroupBox(QStringLiteral("Segment program termination type")), "RadioGroupSegmentTerminationType");
    terminationChoices = new QButtonGroup(this);
    auto* keep = new QRadioButton(QStringLiteral("Keep last flow indefinitely"));
    terminationChoices->addButton(keep, tspttKeep);
    keep->setChecked(true);
    auto* layout = new QVBoxLayout(RadioGroupSegmentTerminationType);
    layout->addWidget(keep);
    return RadioGroupSegmentTerminationType;
}

TSegProgTermination TSegmentSheet::Termination() const
{
    // The first choice when none is chosen.
    return static_cast<TSegProgTermination>(qMax(0, terminationChoices->checkedId()));
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
    SortSegmentRows(rows);
    ShowRows(rows);
}

void TSegmentSheet::ShowRows(const QList<TSegmentRow>& rows)
{
    ListViewSegmentProgram->clear();
    for (const TSegmentRow& row : rows)
        new QTreeWidgetItem(ListViewSegmentProgram, row);
}

QList<TSegmentRow> TSegmentSheet::Rows() const
{
    QList<TSegmentRow> rows;
    for (int index = 0; index < ListViewSegmentProgram->topLevelItemCount(); ++index) {
        const QTreeWidgetItem* item = ListViewSegmentProgram->topLevelItem(index);
        TSegmentRow row;
        for (int column = 0; column < item->columnCount(); ++column)
            row << item->text(column);
        rows << row;
    }
    return rows;
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

void TSegmentSheet::SetTimeUnit(const QString& suffix, double factor)
{
    LabelSegmentStartTime->setText(QStringLiteral("Start time, ") + suffix);
    timeUnitFactor = factor;
}

void TSegmentSheet::ShowSegmentType(bool ramp)
{
    BitBtn3->setText(ramp ? RampCaption : StepCaption);
    BitBtn3->setIcon(TarvoIcon(ramp ? QStringLiteral("increase-arrow-up") : QStringLiteral("corner-right-up-line")));
}

void TSegmentSheet::ButtonSegmentTypeClick()
{
    ShowSegmentType(BitBtn3->text() == StepCaption);
}

void TSegmentSheet::ListViewSegmentProgramChange()
{
    const QList<QTreeWidgetItem*> selected = ListViewSegmentProgram->selectedItems();
    if (selected.isEmpty())
        return;
    const QTreeWidgetItem* row = selected.first();
    double value = 0;
    if (TryStrToFloatDot(row->text(0), value))
        RtDoubleEditSegmentTime->SetValue(value / timeUnitFactor);
    if (TryStrToFloatDot(row->text(1), value))
        RtDoubleEditSegmentFlow->SetValue(value);
    ShowSegmentType(row->text(2).compare(RampCaption, Qt::CaseInsensitive) == 0);
    EditNote->setText(row->text(3));
}

void TSegmentSheet::ButtonSegmentApplyClick()
{
    QList<TSegmentRow> rows = Rows();
    const TSegmentEdit edit{RtDoubleEditSegmentTime->Value() * timeUnitFactor, RtDoubleEditSegmentFlow->Value(),
                            BitBtn3->text(), EditNote->text()};
    if (!ApplySegment(rows, edit))
        return;
    ShowRows(rows);
    if (designView)
        StoreAppliedProgram(rows, Termination(), *designView);
}

void TSegmentSheet::ButtonSegmentDeleteClick()
{
    const QList<QTreeWidgetItem*> selected = ListViewSegmentProgram->selectedItems();
    if (selected.isEmpty())
        return;
    QList<TSegmentRow> rows = Rows();
    rows.removeAt(ListViewSegmentProgram->indexOfTopLevelItem(selected.first()));
    ShowRows(rows);
    if (designView)
        StoreProgramAfterDelete(rows, *designView);
}

void TSegmentSheet::RtDoubleEditSegmentTimeValueChanged()
{
    LabelSegmentStartTimeTimeConversions->setText(FormatDuration(false, RtDoubleEditSegmentTime->Value() * timeUnitFactor));
}

double TSegmentSheet::SegmentFlow() const
{
    return RtDoubleEditSegmentFlow->Value();
}
