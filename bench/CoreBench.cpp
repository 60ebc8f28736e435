#include "gas/FlowUnits.h"
#include "segments/SegmentProgram.h"

#include <benchmark/benchmark.h>

#include <QStringList>

namespace {

// A program at the upper end of what operators write: 50 points, alternating
// steps and ramps.
QString FiftyLineProgram()
{
    QStringList lines;
    for (int i = 0; i < 50; ++i)
        lines << QStringLiteral("%1 %2 %3").arg(i * 2.5).arg((i * 37) % 101).arg(i % 2 ? "Ramp" : "Step");
    return lines.join(QStringLiteral("\r\n"));
}

void BM_SetpointAtTime(benchmark::State& state)
{
    const QString program = FiftyLineProgram();
    double t = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(SetpointAtTime(program, t));
        t = t > 130 ? 0 : t + 0.7; // sweeps the whole program and past its end
    }
}
BENCHMARK(BM_SetpointAtTime);

void BM_ConvertGasFlow(benchmark::State& state)
{
    InitializeStandardFlowUnits();
    TGasFlowDetails from = FlowUnitGramsPerMinute;
    from.GasFlowValue = 1.0;
    from.GasMolarMass = 28.9647;
    TGasFlowDetails to = FlowUnitMillilitresPerMinute;
    QString errors, report;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertGasFlow(from, to, errors, report));
        benchmark::DoNotOptimize(to.GasFlowValue);
    }
}
BENCHMARK(BM_ConvertGasFlow);

} // namespace

BENCHMARK_MAIN();
