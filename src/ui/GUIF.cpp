#include "ui/GUIF.h"

#include "base/Clock.h"
#include "devices/DeviceRegistry.h"
#include "base/Errors.h"
#include "base/ProgramFolder.h"
#include "base/Prompts.h"
#include "base/TerminationSignals.h"
#include "base/TextHelpers.h"
#include "ui/BatchedLines.h"
#include "ui/ContextHelp.h"
#include "ui/DataTableView.h"
#include "ui/HelpTexts.h"
#include "ui/TimeUnit.h"
#include "ui/pages/ConfigureSheet.h"
#include "ui/pages/MixturesSheet.h"
#include "ui/pages/DesignerSheet.h"
#include "ui/pages/SegmentSheet.h"
#include "ui/widgets/RtGraph2D.h"
#include "ui/widgets/RtPointSeries.h"
#include "ui/widgets/hhALed.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int StandardDPI = 96;
constexpr int LedSpacing = 18; // times the DPI scaling, as are the next two
constexpr int LedTop = 2;
constexpr int LedSize = 16;
const QColor LedDarkColor(0xC0, 0xC0, 0xC0);
const QColor LedLitColor(0x00, 0xFF, 0x00);

} // namespace

TGUIF::TGUIF(QWidget* parent)
    : QMainWindow(parent)
    , messageFile(Now(), writeAlarm)
    , dataLog([this](const QString& message) { MM(message); },
              [this](const QStringList& lines) { ShowDataLines(lines); }, &writeAlarm)
{
    setObjectName(QStringLiteral("GUIF"));
    BuildLayout();
    BuildMenus();
    ConnectPages();
    dataLog.SetSavedSink([this] { runStateKeeper.Update(); });
    runControl.SetRunChangedSink([this] { runStateKeeper.Update(); });
    FormCreate();
}

TGUIF::~TGUIF()
{
    // A window destroyed without being closed still leaves no instrument
    // flowing and no thread running.
    if (!closed)
        FormClose();
}

void TGUIF::FormCaption()
{
    setWindowTitle(QStringLiteral("Tarvo 2026-10-16"));
}

void TGUIF::FormCreate()
{
    FormCaption();
    PageControl1->setCurrentIndex(0);
    SetTimeUnit(QStringLiteral("MINUTE"));
    AttachContextHelp();
    AddStartupDeviceRows();
    configureSheet->FillFluidLists();
    engineLed = AddLedForThread();
    CreateWorkingFolders();
    if (ProgramFolderIsUserData())
        MM(QStringLiteral("Logs and segment programs are kept in %1: the program's own folder is not for writing.")
               .arg(ProgramFolder()));
    FlowDataLogFileCaption();
    TimerEngine->start();
}

void TGUIF::AddStartupDeviceRows()
{
    ListViewDevices->clear();
    for (qsizetype i = 0; i < qMin<qsizetype>(2, DevicesLocal.size()); ++i) {
        const TDeviceInfo& device = DevicesLocal.at(i);
        new QTreeWidgetItem(ListViewDevices, {device.COMPort, QStringLiteral("Unknown"),
                                              DeviceInstrumentName(device.DevType),
                                              DeviceTypeName(device.DevType), device.NameRole});
    }
}

// MouseMoveHelp on every control that reports pointer movement; the
// drop-down lists explain themselves when the pointer enters them.
void TGUIF::AttachContextHelp()
{
    contextHelp->AttachAll(this);
    for (const char* name : {"ComboBoxDeviceFluid", "ComboBoxDeviceFluidPump"}) {
        if (auto* list = findChild<QWidget*>(QLatin1String(name)))
            contextHelp->AttachOnEnter(list, [this] { ComboBoxDeviceFluidMouseEnter(); });
    }
    if (auto* list = findChild<QWidget*>(QStringLiteral("ComboBoxFlowUnitPredefined")))
        contextHelp->AttachOnEnter(list, [this] { ComboBoxFlowUnitPredefinedMouseEnter(); });
}

const QString& TGUIF::MouseOverName() const
{
    return contextHelp->MouseOverName();
}

void TGUIF::ShowHelp(const QObject* Sender)
{
    contextHelp->ShowHelp(Sender);
}

void TGUIF::ComboBoxDeviceFluidMouseEnter()
{
    contextHelp->ShowText(FluidListHelpText());
}

void TGUIF::ComboBoxFlowUnitPredefinedMouseEnter()
{
    contextHelp->ShowText(FlowUnitListHelpText());
}

void TGUIF::CreateWorkingFolders()
{
    QDir::current().mkpath(QStringLiteral("Segment Programs"));
    QDir::current().mkpath(QStringLiteral("Logs"));
}

void TGUIF::closeEvent(QCloseEvent* event)
{
    // While the threads are being stopped the window stays: closing now
    // would cut the wait for the instruments short. It closes once they
    // have stopped (a shutdown's signal must not be lost).
    if (runControl.IsTerminating()) {
        closeAfterShutdown = true;
        event->ignore();
        return;
    }
    // Running devices are stopped only when the operator agrees; a
    // termination signal has nobody to ask.
    if (!terminationSignalled && !ConfirmStopOfRunningDevices(QStringLiteral("close"))) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TGUIF::FormClose()
{
    closed = true;
    runControl.ResetDevices(); // closing stops the devices as a reset does
    TimerEngine->stop();
    delete engineLed;
    engineLed = nullptr;
}

int TGUIF::GetDPIScaling() const
{
    return int(RoundHalfEven(logicalDpiX() / double(StandardDPI)));
}

ThhALed* TGUIF::AddLedForThread()
{
    const int s = GetDPIScaling();
    const qsizetype lamps = PanelStatusBar->findChildren<ThhALed*>(Qt::FindDirectChildrenOnly).size();
    auto* led = new ThhALed(PanelStatusBar);
    led->hide();
    led->move(int(LedSpacing * s * lamps), LedTop * s);
    led->SetBordered(false);
    led->SetBlink(false);
    led->show();
    led->SetLEDStyle(ThhALed::LEDSqLarge);
    led->resize(LedSize * s, LedSize * s);
    led->SetFalseColor(LedDarkColor);
    led->SetTrueColor(LedLitColor);
    return led;
}

void TGUIF::MM(const QString& aMessage)
{
    const QString line = TimeStampPrefix() + aMessage;
    messageLines->Add(line);
    messageFile.Append(line);
}

bool TGUIF::GetSelectedDevice(TDeviceInfo& aDev) const
{
    const QTreeWidgetItem* focused = ListViewDevices->currentItem();
    return focused && GetDeviceByPort(focused->text(0), aDev);
}

void TGUIF::SetTimeUnit(const QString& aUnit)
{
    const double oldFactor = timeUnitFactor;
    TTimeUnit unit;
    if (TimeUnitByName(aUnit, unit)) {
        timeUnitFactor = unit.Factor;
        timeUnitSuffix = unit.Suffix;
        Minute1->setChecked(aUnit == QLatin1String("MINUTE"));
        Hour1->setChecked(aUnit == QLatin1String("HOUR"));
        Day1->setChecked(aUnit == QLatin1String("DAY"));
    }
    RtGraph2DMain->XAxis1().SetCaption(QStringLiteral("Time, ") + timeUnitSuffix);
    segmentSheet->SetTimeUnit(timeUnitSuffix, timeUnitFactor);
    mixturesSheet->SetTimeUnitSuffix(timeUnitSuffix);
    designerSheet->SetTimeCaption(QStringLiteral("Time, ") + timeUnitSuffix);
    // The start is converted as well, or an axis that started at 1 minute
    // would end before it starts once shown in days.
    TRtAxis axis = RtGraph2DMain->XAxis1();
    axis.SetRange(axis.Start() * oldFactor / timeUnitFactor,
                  RescaledTimeAxisStop(axis.Stop(), oldFactor, timeUnitFactor));
    InvalidateAllSeries();
    TDeviceInfo device;
    if (GetSelectedDevice(device))
        DeviceDetailsUI(device);
}

void TGUIF::Minute1Click()
{
    SetTimeUnit(QStringLiteral("MINUTE"));
}

void TGUIF::Hour1Click()
{
    SetTimeUnit(QStringLiteral("HOUR"));
}

void TGUIF::Day1Click()
{
    SetTimeUnit(QStringLiteral("DAY"));
}

void TGUIF::ShowTable1Click(QAction* Sender)
{
    if (Sender != ShowTable1 && Sender != ShowSegmentProgram1 && Sender != ShowData1)
        return;
    RtGraph2DMain->setVisible(Sender == ShowTable1);
    MemoSegments->setVisible(Sender == ShowSegmentProgram1);
    MemoData->setVisible(Sender == ShowData1);
    ShowTable1->setChecked(Sender == ShowTable1);
    ShowSegmentProgram1->setChecked(Sender == ShowSegmentProgram1);
    ShowData1->setChecked(Sender == ShowData1);
}

void TGUIF::ShowSegmentPrograms1Click()
{
    ShowSegmentPrograms1->setChecked(!ShowSegmentPrograms1->isChecked());
    ApplySegmentSeriesVisibility();
}

void TGUIF::Showachievedflows1Click()
{
    Showachievedflows1->setChecked(!Showachievedflows1->isChecked());
    ApplyFlowSeriesVisibility();
}

void TGUIF::Autoscrolltolastline1Click()
{
    Autoscrolltolastline1->setChecked(!Autoscrolltolastline1->isChecked());
    MemoSegmentsUpdate();
}

void TGUIF::LogFile1Click()
{
    FlowDataSave(true);
    FlowDataLogFileEnsure(true);
}

bool TGUIF::FlowDataLogFileEnsure(bool AlwaysAsk)
{
    const bool chosen = dataLog.FlowDataLogFileEnsure(AlwaysAsk);
    if (chosen)
        messageFile.FollowDataLog(dataLog.DataLogFileName());
    FlowDataLogFileCaption();
    return chosen;
}

void TGUIF::FlowDataSave(bool ForceSave)
{
    dataLog.FlowDataSave(ForceSave);
}

void TGUIF::ShowWriteAlarm(bool raised, const QString& reasons)
{
    LedSaveAlarm->setToolTip(reasons);
    LedSaveAlarm->setVisible(raised);
}

void TGUIF::CloseOnTerminationSignals()
{
    auto* watcher = new TTerminationSignals(this);
    connect(watcher, &TTerminationSignals::Received, this, [this] {
        terminationSignalled = true;
        close();
    });
}

void TGUIF::FlowDataLogFileCaption()
{
    LogFile1->setText(dataLog.FlowDataLogFileCaption());
}

void TGUIF::ShowDataLines(const QStringList& lines)
{
    // The view stays where the operator left it; the engine scrolls to the
    // end itself when auto-scroll is on.
    MemoData->LinesAdded(lines.size());
}

bool TGUIF::AutoScrollChecked() const
{
    return Autoscrolltolastline1->isChecked();
}

void TGUIF::ScrollDataTableToEnd()
{
    MemoData->scrollToBottom();
}
