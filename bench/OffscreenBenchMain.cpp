// The main of the window benchmarks: Qt's offscreen platform, and the
// working folders and data logs in a throwaway folder.
#include "base/ProgramFolder.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    SetProgramFolder(scratch.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetProgramFolder(QString());
    return 0;
}
