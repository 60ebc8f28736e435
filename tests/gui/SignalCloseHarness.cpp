// The program as main() starts it, with the operator's first steps scripted.
// Without arguments the controller 432389 on the virtual rig's COM6 is
// configured and its program started (log name "signal"); SignalCloseTest
// ends it with a signal, and on its way out it prints the data table it held.
// With "run PROGRAM" the same, with that program, once a few rows are in the
// table (so the start's save puts them in the log); with "resume" or
// "discard" it starts as after a crash and gives that answer to the question
// about the interrupted run, printing the questions it was asked on standard
// error at the end. RunResumeTest kills and restarts it so.
#include "app/Startup.h"
#include "base/MainThreadWait.h"
#include "base/ProgramFolder.h"
#include "devices/DeviceRegistry.h"
#include "engine/DataLog.h"
#include "support/RecordingPrompts.h"
#include "ui/GUIF.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>

namespace {

int DataRows(const TDataLog& log)
{
    const QStringList table = log.DataTable();
    return int(std::count_if(table.cbegin(), table.cend(), [](const QString& line) { return !line.startsWith(u'-'); }));
}

// Before the window is made: it lists the first two devices at start-up.
bool PlaceController(const QString& program)
{
    TDeviceInfo controller;
    if (!FindKnownDevice(QStringLiteral("432389"), controller))
        return false;
    controller.COMPort = QStringLiteral("COM6");
    controller.SegmentProgram = program;
    DevicesLocal.prepend(controller);
    return true;
}

void StartProgram(TGUIF& window, bool rowsFirst)
{
    window.show();

    auto* devices = window.findChild<QTreeWidget*>(QStringLiteral("ListViewDevices"));
    devices->setCurrentItem(devices->findItems(QStringLiteral("COM6"), Qt::MatchExactly).value(0));
    auto* fluids = window.findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceFluid"));
    fluids->setCurrentIndex(fluids->findData(8)); // nitrogen
    window.findChild<QPushButton*>(QStringLiteral("BitBtn6"))->click();
    if (rowsFirst)
        WaitProcessingEvents([&] { return DataRows(window.DataLog()) >= 3; }, 60000);
    window.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    const QString mode = arguments.value(0);
    RunStartupSequence();
    SetProgramFolder(QDir::currentPath());
    const bool afterCrash = mode == QLatin1String("resume") || mode == QLatin1String("discard");
    if (!afterCrash
        && !PlaceController(mode.isEmpty() ? QStringLiteral("0 50 Step\r\n30 50 Step") : arguments.value(1)))
        return 2;

    TGUIF window;
    RecordingPrompts prompts;
    prompts.InputAnswers.enqueue(mode.isEmpty() ? QStringLiteral("signal") : QStringLiteral("run"));
    window.CloseOnTerminationSignals();
    if (afterCrash) {
        prompts.YesNoAnswers.enqueue(mode == QLatin1String("resume"));
        window.show();
        window.OfferResumeOfInterruptedRun();
    } else {
        StartProgram(window, !mode.isEmpty());
    }

    const int exitCode = app.exec();
    std::fputs(window.DataLog().DataTable().join(QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fputs(prompts.Questions.join(QLatin1Char('\n')).toUtf8().constData(), stderr);
    return exitCode;
}
