// The engine timer, run control's buttons and what the engine and run
// control show in the window.
#include "ui/GUIF.h"

#include "devices/DeviceRegistry.h"
#include "base/Errors.h"
#include "base/Prompts.h"
#include "ui/pages/ConfigureSheet.h"
#include "ui/pages/DirectControlSheet.h"
#include "ui/pages/MixturesSheet.h"
#include "ui/pages/SegmentSheet.h"
#include "ui/pages/ToolsSheet.h"
#include "ui/widgets/RtPointSeries.h"
#include "ui/widgets/hhALed.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int LampLitMS = 150;

} // namespace

void TGUIF::ConnectPages()
{
    TimerEngine = new QTimer(this);
    TimerEngine->setObjectName(QStringLiteral("TimerEngine"));
    TimerEngine->setInterval(TEngineTick::TickIntervalMS);
    connect(TimerEngine, &QTimer::timeout, this, &TGUIF::TimerEngineTimer);

    connect(ListViewDevices, &QTreeWidget::itemSelectionChanged, this, &TGUIF::ListViewDevicesClick);
    connect(ListViewDevices, &QTreeWidget::currentItemChanged, this, &TGUIF::ListViewDevicesClick);

    segmentSheet->SetDesignView(this);
    mixturesSheet->SetRecipeView(this);
    connect(segmentSheet, &TSegmentSheet::StartClicked, this, &TGUIF::ButtonSegmentProgramStartClick);
    connect(segmentSheet, &TSegmentSheet::StopClicked, this, &TGUIF::ButtonSegmentProgramStopClick);
    connect(segmentSheet, &TSegmentSheet::SegmentFlowChanged, this, &TGUIF::UpdateGasFlowUnits);
    connect(segmentSheet, &TSegmentSheet::LoadProgramClicked, this, &TGUIF::LoadSegmentProgram2Click);
    connect(segmentSheet, &TSegmentSheet::SaveProgramClicked, this, &TGUIF::SaveSegmentProgramAs1Click);
    connect(directControlSheet, &TDirectControlSheet::ApplyClicked, this, &TGUIF::ButtonApplyFlowClick);
    connect(toolsSheet, &TToolsSheet::InitializeClicked, this, &TGUIF::ButtonDeviceInitializeClick);
    connect(toolsSheet, &TToolsSheet::PrimePumpClicked, this, &TGUIF::ButtonPrimePumpClick);
    connect(toolsSheet, &TToolsSheet::ChangeSyringeClicked, this, &TGUIF::ButtonChangeSyringeClick);
    connect(directControlSheet, &TDirectControlSheet::StopClicked, this, &TGUIF::ButtonSegmentProgramStopClick);
    connect(directControlSheet, &TDirectControlSheet::DesiredFlowChanged, this,
            &TGUIF::RtDoubleEditDirectControlDesiredFlowValueChanged);
    connect(configureSheet, &TConfigureSheet::ApplyClicked, this, &TGUIF::ButtonApplyConfigurationClick);
}

void TGUIF::TimerEngineTimer()
{
    // Ticks never overlap, should anything inside one run the event loop.
    if (tickRunning)
        return;
    {
        const QScopedValueRollback running(tickRunning, true);
        // An error ends this tick only; the timer goes on with the next one.
        try {
            engine.Tick();
        } catch (const TarvoError& error) {
            engine.HoldMessage(error.Message());
        } catch (const std::exception& error) {
            engine.HoldMessage(QString::fromLocal8Bit(error.what()));
        }
    }
    // Only now that the tick has returned: while a box is open, its event
    // loop goes on running ticks for every device.
    for (const QString& message : engine.TakeMessages())
        ShowMessage(message);
}

void TGUIF::ButtonSegmentProgramStartClick()
{
    runControl.ButtonSegmentProgramStartClick();
}

void TGUIF::ButtonSegmentProgramStopClick()
{
    runControl.ButtonSegmentProgramStopClick();
}

void TGUIF::ButtonApplyFlowClick()
{
    runControl.ButtonApplyFlowClick();
}

void TGUIF::RtDoubleEditDirectControlDesiredFlowValueChanged()
{
    UpdateGasFlowUnits();
    runControl.DesiredFlowChanged(directControlSheet->DesiredFlow());
}

void TGUIF::Resetsoftware1Click()
{
    runControl.Resetsoftware1Click();
    if (closeAfterShutdown)
        close();
}

// The engine puts a lamp out again within the same tick, before the window
// repaints: the lamp stays lit this much longer, on a timer of its own, so
// the tick is not held up.
void TGUIF::SetEngineLamp(bool lit)
{
    SetDeviceLamp(engineLed, lit);
}

void TGUIF::SetDeviceLamp(ThhALed* lamp, bool lit)
{
    if (!lamp)
        return;
    if (lit)
        lamp->SetValue(true);
    else
        lamp->PutOutAfter(LampLitMS);
}

void TGUIF::FlowSerie(const TDeviceInfo& device, double x, double y)
{
    FlowSerie(device, x, y, false);
}

void TGUIF::ClearFlowSerie(TDeviceInfo& device)
{
    FlowSerie(device, 0, 0, true);
    // The record learns its series, so the caller's later store keeps it.
    TDeviceInfo stored;
    if (GetDeviceByPort(device.COMPort, stored))
        device.SerieFlow = stored.SerieFlow;
}

void TGUIF::Pause(int ms)
{
    QThread::msleep(ms);
}

void TGUIF::RefreshDevice(TDeviceInfo& device)
{
    DeviceDetailsUI(device);
}

void TGUIF::BeginThreadShutdown()
{
    setWindowTitle(QStringLiteral("Waiting for communication threads to stop device actions and terminate. "
                                  "User interface will be unresponsive until done. "));
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* cover = new QLabel(QStringLiteral("In case on emergency, cut the power to any device to stop gas flow."),
                             PageControl1);
    cover->setAlignment(Qt::AlignCenter);
    cover->setAutoFillBackground(true);
    cover->setGeometry(PageControl1->rect());
    cover->show();
    shutdownCover = cover;
    QCoreApplication::processEvents();
}

void TGUIF::EndThreadShutdown()
{
    FormCaption();
    setEnabled(true);
    QApplication::restoreOverrideCursor();
    delete shutdownCover;
    shutdownCover = nullptr;
    ClearGraph(true);
}

void TGUIF::FreeLamp(ThhALed* lamp)
{
    delete lamp;
}

void TGUIF::ColourLamp(ThhALed* lamp, TRtColor color)
{
    lamp->SetFalseColor(QColor::fromRgb(color & 0x00FFFFFF));
    const int size = 16 * GetDPIScaling();
    lamp->resize(size, size);
}
