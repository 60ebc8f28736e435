// One engine tick of the real window with eight simulated controllers running
// their segment programs, after a day and after a week of running: a data
// row every 3 s (the data table shown) and a flow point per device every
// second, of flows that vary, are already on screen.
#include "AcceptingPrompts.h"

#include "base/Clock.h"
#include "devices/DeviceRegistry.h"
#include "base/MainThreadWait.h"
#include "app/Startup.h"
#include "engine/DataLog.h"
#include "engine/DeviceConfiguration.h"
#include "gas/GasList.h"
#include "mfc/MFCThread.h"
#include "ui/GUIF.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int DeviceCount = 8;
constexpr int SecondsPerDayOfData = 86400;
constexpr int DataRowSeconds = 3;
constexpr int RowsPerHour = 3600 / DataRowSeconds;
// Two minutes of running. The log was saved half a minute before the first
// tick, so the once-a-minute save falls in the run twice.
constexpr int Ticks = 120;
constexpr int SecondsSinceSave = 30;
constexpr double StartDays = 46311.375; // 2026-10-16 09:00
// A simulated controller reports every 0.5 to 1 s.
constexpr int ReadingTimeoutMS = 5000;

const TRtColor DeviceColors[DeviceCount] = {clRtRed,    clRtGreen, clRtBlue,  clRtAqua,
                                            clRtPurple, clRtBrown, clRtBlack, 0xFFFF8000};

// Whole milliseconds, so the same moment always comes out as the same number
// and the 3 s row and 60 s save cadences do not drift.
double MomentAfterMS(qint64 ms)
{
    return StartDays + double(ms) / (SecondsPerDay * 1000);
}

// The program's time, moved on only by the benchmark; the workers stamp their
// readings with it.
class SteppedClock final : public ClockSource {
public:
    SteppedClock() { SetClockSource(this); }
    ~SteppedClock() override { SetClockSource(nullptr); }
    double Now() const override { return MomentAfterMS(elapsedMS.load()); }
    double MonotonicNow() const override { return Now(); }
    void AdvanceSeconds(int seconds) { elapsedMS += qint64(seconds) * 1000; }

private:
    std::atomic<qint64> elapsedMS{0};
};

// The real window without the tick's pauses (10 ms after each served device,
// 30 ms to stretch a short tick): they are plain sleeps that do no work, so
// skipping them removes exactly their length from the measured time.
class UnpausedWindow final : public TGUIF {
public:
    void Pause(int ms) override { skippedMS += ms; }
    qint64 skippedMS = 0;
};

// A flow that varies as a humidity program's would: slow swings per device
// with a little noise, in percent of full scale.
double VaryingFlowPercent(int second, int device)
{
    const double swing = std::sin(second / 1800.0 + device) * 30;
    return 50 + swing + QRandomGenerator::global()->bounded(1000) / 1000.0;
}

// Eight simulated controllers on their own ports, made from the two
// demonstration records (and their segment programs).
void ReplaceDevicesWithSimulatedOnes()
{
    const QList<TDeviceInfo> demonstrations = DevicesLocal;
    DevicesLocal.clear();
    for (int i = 0; i < DeviceCount; ++i) {
        TDeviceInfo device = demonstrations.at(i % demonstrations.size());
        device.COMPort = QStringLiteral("SIM%1").arg(i + 1);
        DevicesLocal.append(device);
    }
}

// As "Apply" on the Configure page: a gas and a volumetric unit each; the
// worker thread and its lamp start.
void ConfigureDevices(UnpausedWindow& window)
{
    for (int i = 0; i < DeviceCount; ++i) {
        TConfigurePage page;
        page.FluidChosen = true;
        page.FluidID = GasList().at(i).AlicatID;
        page.FlowUnitName = QStringLiteral("ml/min");
        page.TemperatureC = 20;
        page.PressureBarA = 1.01325;
        page.DeviceName = QStringLiteral("Bench %1").arg(i + 1);
        page.Color = DeviceColors[i];
        ApplyConfiguration(DevicesLocal.at(i), page, window.RunControl(), window.Engine(), window);
    }
}

// What "Start" does for each selected device. The device list has rows for
// the first two devices only, so the records are started here directly.
void StartPrograms(UnpausedWindow& window)
{
    window.FlowDataLogFileEnsure(false);
    for (int i = 0; i < DeviceCount; ++i) {
        TDeviceInfo device = DevicesLocal.at(i);
        device.ControlMode = dcmSegment;
        device.FlowStartTime = MonotonicNow();
        window.ClearFlowSerie(device);
        StoreDevice(device);
        window.RefreshDevice(device);
    }
    window.Engine().GraphTimeZero = MonotonicNow();
    // An operator watching the programs has the listed devices selected, so
    // the segment table is merged at every tick.
    window.findChild<QTreeWidget*>(QStringLiteral("ListViewDevices"))->selectAll();
}

// `days` of running as the engine leaves them, and the clock at their end:
// rows reach the data log (and the shown table) an hour at a time.
void FillRun(UnpausedWindow& window, SteppedClock& clock, int days)
{
    const int seconds = days * SecondsPerDayOfData;
    QStringList rows = DataTableColumns(DevicesLocal);
    for (int s = 0; s < seconds; s += DataRowSeconds) {
        QString row = DataRowTimeColumn(MomentAfterMS(qint64(s) * 1000));
        for (int i = 0; i < DeviceCount; ++i)
            row += DataRowValueColumn(VaryingFlowPercent(s, i));
        rows << row;
        if (rows.size() >= RowsPerHour) {
            window.DataLog().AppendDataLines(rows);
            rows.clear();
        }
    }
    window.DataLog().AppendDataLines(rows);
    window.Engine().DataHeaderPending = false;
    window.Engine().LastDataRowTime = MomentAfterMS(qint64(seconds - DataRowSeconds) * 1000);

    for (int s = 0; s < seconds; ++s) {
        for (int i = 0; i < DeviceCount; ++i)
            window.FlowSerie(DevicesLocal.at(i), s / 60.0, VaryingFlowPercent(s, i));
    }
    clock.AdvanceSeconds(seconds - SecondsSinceSave);
    window.FlowDataSave(true);
    window.DataLog().WaitForSaves();
    clock.AdvanceSeconds(SecondsSinceSave);
    QApplication::processEvents();
}

double ResidentMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// As after a second of real running: every device has a reading the engine
// has not handled yet, so every tick serves all eight.
bool EveryDeviceHasFreshReading()
{
    return std::all_of(DevicesLocal.cbegin(), DevicesLocal.cend(), [](const TDeviceInfo& device) {
        return device.LastHandled < device.ThreadMFC->GUIIn.DeviceStatus.DataTime;
    });
}

// The tick's replot waits for a zero-interval timer and the repaint for a
// posted event; the window runs both as soon as the tick returns, so they are
// part of its cost.
void RunWorkQueuedByTick()
{
    QApplication::processEvents();
    QApplication::processEvents();
}

double Milliseconds(qint64 ns)
{
    return ns / 1e6;
}

void EngineTickAfter(benchmark::State& state, int days)
{
    SteppedClock clock;
    AcceptingPrompts prompts;
    RunStartupSequence();
    ReplaceDevicesWithSimulatedOnes();
    auto window = std::make_unique<UnpausedWindow>();
    // The benchmark ticks the engine itself.
    window->findChild<QTimer*>(QStringLiteral("TimerEngine"))->stop();
    window->resize(1600, 1000);
    window->show();
    window->findChild<QAction*>(QStringLiteral("ShowData1"))->trigger();
    ConfigureDevices(*window);
    StartPrograms(*window);
    FillRun(*window, clock, days);

    const qsizetype rowsBefore = window->DataLog().DataLineCount();
    std::vector<double> tickMs;
    qint64 queuedWorkNs = 0;
    qint64 saveTicksNs = 0;
    int saves = 0;
    for (auto _ : state) {
        clock.AdvanceSeconds(1);
        if (!WaitProcessingEvents(EveryDeviceHasFreshReading, ReadingTimeoutMS)) {
            state.SkipWithError("a simulated controller stopped reporting");
            break;
        }
        const double lastSave = window->DataLog().LastDataLogSave();
        QElapsedTimer timer;
        timer.start();
        window->Engine().Tick();
        const qint64 tickNs = timer.nsecsElapsed();
        RunWorkQueuedByTick();
        const qint64 totalNs = timer.nsecsElapsed();
        state.SetIterationTime(totalNs / 1e9);

        tickMs.push_back(Milliseconds(totalNs));
        queuedWorkNs += totalNs - tickNs;
        // A save is written on its own thread; it is counted on the tick that started it.
        window->DataLog().WaitForSaves();
        if (window->DataLog().LastDataLogSave() != lastSave) {
            ++saves;
            saveTicksNs += totalNs;
        }
    }

    // How long handing a save over holds the window, the table as it is now.
    QElapsedTimer stall;
    stall.start();
    window->FlowDataSave(true);
    const qint64 stallNs = stall.nsecsElapsed();
    window->DataLog().WaitForSaves();

    const double ticks = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    std::sort(tickMs.begin(), tickMs.end());
    state.counters["tick_p95_ms"] = tickMs.empty() ? 0 : tickMs.at(std::min(tickMs.size() - 1, tickMs.size() * 95 / 100));
    state.counters["replot_ms"] = Milliseconds(queuedWorkNs) / ticks;
    state.counters["save_stall_ms"] = Milliseconds(stallNs);
    state.counters["saves"] = saves;
    state.counters["save_tick_ms"] = saves > 0 ? Milliseconds(saveTicksNs) / saves : 0;
    state.counters["rows_per_tick"] = double(window->DataLog().DataLineCount() - rowsBefore) / ticks;
    state.counters["skipped_pause_ms"] = window->skippedMS / ticks;
    state.counters["rss_mb"] = ResidentMegabytes();

    window->RunControl().TerminateThreads(TRunControl::ShutdownTimeoutS);
    window.reset();
    DevicesLocal.clear();
}

void BM_EngineTickEightDevicesAfterADay(benchmark::State& state)
{
    EngineTickAfter(state, 1);
}
BENCHMARK(BM_EngineTickEightDevicesAfterADay)
    ->UseManualTime()
    ->Iterations(Ticks)
    ->Unit(benchmark::kMillisecond);

void BM_EngineTickEightDevicesAfterAWeek(benchmark::State& state)
{
    EngineTickAfter(state, 7);
}
BENCHMARK(BM_EngineTickEightDevicesAfterAWeek)
    ->UseManualTime()
    ->Iterations(Ticks)
    ->Unit(benchmark::kMillisecond);

} // namespace
