// The main window under load: the message log after hundreds of thousands of
// lines, flow series of a day's running (100 000 points per device), the
// forced save of a day's data table, and configuring a pump that is silent.
#include "AcceptingPrompts.h"

#include "devices/DeviceRegistry.h"
#include "app/Startup.h"
#include "engine/DataLog.h"
#include "ui/GUIF.h"
#include "engine/RunControl.h"
#include "sim/VirtualPump.h"
#include "ui/widgets/RtGraph2D.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

namespace {

constexpr int DayOfPoints = 100000; // one point a second for a bit over a day

std::unique_ptr<TGUIF> NewWindow()
{
    RunStartupSequence();
    auto window = std::make_unique<TGUIF>();
    window->resize(1600, 1000);
    window->show();
    QApplication::processEvents();
    return window;
}

TDeviceInfo RunningDevice(int index)
{
    TDeviceInfo device = DevicesLocal.at(index);
    device.ControlMode = dcmSegment;
    return device;
}

// Cost of one more line in a log that already holds range(0) lines, the
// event loop turning after every few lines as it does between ticks, and
// what 100 000 lines cost at that rate.
void BM_MessageLogLine(benchmark::State& state)
{
    constexpr int LinesPerTurn = 10;
    const auto window = NewWindow();
    for (int i = 0; i < state.range(0); ++i)
        window->MM(QStringLiteral("Earlier message number %1").arg(i));
    QApplication::processEvents();
    int n = 0;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        window->MM(QStringLiteral("Message %1").arg(++n));
        if (n % LinesPerTurn == 0)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    const double seconds = timer.nsecsElapsed() / 1e9;
    state.SetItemsProcessed(state.iterations());
    state.counters["lines_100k_s"] = seconds / double(std::max<benchmark::IterationCount>(state.iterations(), 1)) * 100000;
}
BENCHMARK(BM_MessageLogLine)->Arg(0)->Arg(100000)->Arg(300000)->Unit(benchmark::kMicrosecond);

// A day of flow points for one device, appended as the engine does, with the
// coalesced replot running after every tick's worth of points.
void BM_FlowSeriesDay(benchmark::State& state)
{
    const auto window = NewWindow();
    for (auto _ : state) {
        const TDeviceInfo device = RunningDevice(0);
        window->FlowSerie(device, 0, 0, true);
        for (int i = 0; i < DayOfPoints; ++i) {
            window->FlowSerie(RunningDevice(0), i / 60.0, 50 + (i % 600) / 20.0, false);
            if (i % 1000 == 0)
                QApplication::processEvents();
        }
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * DayOfPoints);
}
BENCHMARK(BM_FlowSeriesDay)->Unit(benchmark::kMillisecond);

// One replot of the chart holding a day of points for both devices.
void BM_ReplotTwoDevicesFullDay(benchmark::State& state)
{
    const auto window = NewWindow();
    for (int d = 0; d < 2; ++d) {
        for (int i = 0; i < DayOfPoints; ++i)
            window->FlowSerie(RunningDevice(d), i / 60.0, 40 + d * 20 + (i % 600) / 20.0, false);
    }
    QApplication::processEvents();
    auto* graph = window->findChild<TRtGraph2D*>(QStringLiteral("RtGraph2DMain"));
    for (auto _ : state)
        graph->replot();
}
BENCHMARK(BM_ReplotTwoDevicesFullDay)->Unit(benchmark::kMillisecond);

// A forced save of a day's table: a row every 3 s for eight devices, with
// its two backup versions turned over on every save.
void BM_FlowDataSaveDay(benchmark::State& state)
{
    constexpr int DayOfRows = 28800;
    constexpr int Devices = 8;
    RunStartupSequence();
    QList<TDeviceInfo> devices;
    for (int d = 0; d < Devices; ++d)
        devices << DevicesLocal.at(d % DevicesLocal.size());
    QStringList lines = DataTableColumns(devices);
    const double start = 46311.375;
    for (int row = 0; row < DayOfRows; ++row) {
        QString line = DataRowTimeColumn(start + row * 3.0 / 86400);
        for (int d = 0; d < Devices; ++d)
            line += DataRowValueColumn(12.5 + d + (row % 100) / 7.0);
        lines << line;
    }
    qint64 tableSize = 0;
    for (const QString& line : lines)
        tableSize += line.size() + 2;

    AcceptingPrompts prompts;
    TDataLog log([](const QString&) {});
    log.AppendDataLines(lines);
    log.FlowDataLogFileEnsure(false);
    qint64 stallNs = 0;
    for (auto _ : state) {
        QElapsedTimer stall;
        stall.start();
        log.FlowDataSave(true);
        stallNs += stall.nsecsElapsed();
        log.WaitForSaves();
    }
    state.SetBytesProcessed(state.iterations() * tableSize);
    // How long a save holds the window; the rest is written on its own thread.
    state.counters["save_stall_ms"] = stallNs / 1e6 / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}
BENCHMARK(BM_FlowDataSaveDay)->Unit(benchmark::kMillisecond);

} // namespace

// How long configuring a pump holds the main thread when the pump does not
// answer: connecting and initialising belong to its worker, so only creating
// and starting the worker count. configure_stall_ms is the longest stall.
void BM_ConfigureSilentPump(benchmark::State& state)
{
    QTemporaryDir ports;
    qputenv("TARVO_PORT_DIR", ports.path().toLocal8Bit());
    VirtualPump pump;
    pump.SetFault(LineFault::Silent);
    if (!pump.Start() || !pump.Register(QStringLiteral("COM8"))) {
        state.SkipWithError("no virtual pump");
        return;
    }
    const auto window = NewWindow();
    TDeviceInfo device;
    FindKnownDevice(QStringLiteral("2020465"), device);
    device.COMPort = QStringLiteral("COM8");
    DevicesLocal.append(device);
    double longestMS = 0;
    for (auto _ : state) {
        TDeviceInfo configured = DevicesLocal.last();
        QElapsedTimer stall;
        stall.start();
        window->RunControl().StartDeviceThread(configured);
        StoreDevice(configured);
        QApplication::processEvents();
        longestMS = std::max(longestMS, stall.nsecsElapsed() / 1e6);
        state.PauseTiming();
        window->RunControl().TerminateThreads(0);
        state.ResumeTiming();
    }
    state.counters["configure_stall_ms"] = longestMS;
    qunsetenv("TARVO_PORT_DIR");
}
BENCHMARK(BM_ConfigureSilentPump)->Iterations(3)->Unit(benchmark::kMillisecond);
