// The program as main() starts it, with the operator's first steps scripted:
// the controller 432389 on the virtual rig's COM6 is configured and its
// program started (log name "signal"). Started by SignalCloseTest, which
// ends it with a signal; on its way out it prints the data table it held.
#include "app/Startup.h"
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

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RunStartupSequence();
    SetProgramFolder(QDir::currentPath());
    TDeviceInfo controller;
    if (!FindKnownDevice(QStringLiteral("432389"), controller))
        return 2;
    controller.COMPort = QStringLiteral("COM6");
    controller.SegmentProgram = QStringLiteral("0 50 Step\r\n30 50 Step");
    DevicesLocal.prepend(controller);

    TGUIF window;
    RecordingPrompts prompts;
    prompts.InputAnswers.enqueue(QStringLiteral("signal"));
    window.CloseOnTerminationSignals();
    window.show();

    auto* devices = window.findChild<QTreeWidget*>(QStringLiteral("ListViewDevices"));
    devices->setCurrentItem(devices->findItems(QStringLiteral("COM6"), Qt::MatchExactly).value(0));
    auto* fluids = window.findChild<QComboBox*>(QStringLiteral("ComboBoxDeviceFluid"));
    fluids->setCurrentIndex(fluids->findData(8)); // nitrogen
    window.findChild<QPushButton*>(QStringLiteral("BitBtn6"))->click();
    window.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();

    const int exitCode = app.exec();
    std::fputs(window.DataLog().DataTable().join(QLatin1Char('\n')).toUtf8().constData(), stdout);
    return exitCode;
}
