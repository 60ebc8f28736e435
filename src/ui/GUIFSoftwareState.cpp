// "Save software state", "Load software state" and taking up a run the
// program did not end.
#include "ui/GUIF.h"

#include "base/Clock.h"
#include "base/FileWriter.h"
#include "base/ProgramFolder.h"
#include "base/Prompts.h"
#include "devices/DeviceRegistry.h"
#include "engine/RunResume.h"
#include "engine/RunState.h"
#include "engine/SoftwareState.h"
#include "ui/DataTableView.h"

#include <QAction>
#include <QFileInfo>
#include <QSplitter>

namespace {

const QString StateFileFilter = QStringLiteral("Software state (*.json)|*.json");

} // namespace

TSoftwareState TGUIF::CurrentSoftwareState() const
{
    TSoftwareState state = CaptureSoftwareState(DevicesLocal);
    state.TimeUnit = Hour1->isChecked() ? QStringLiteral("HOUR")
                   : Day1->isChecked()  ? QStringLiteral("DAY")
                                        : QStringLiteral("MINUTE");
    for (const QSplitter* splitter : {SplitterTop, SplitterBottom, SplitterVertical})
        state.SplitterLayout.append(splitter->saveState());
    return state;
}

void TGUIF::Savesoftwarestate1Click()
{
    const FileDialogRequest request{StateFileFilter, QStringLiteral("json"), ProgramFolder(), QString()};
    QString fileName;
    if (!CurrentPrompts().SaveFileName(request, fileName))
        return;
    QString error;
    if (!SaveSoftwareStateFile(fileName, CurrentSoftwareState(), error))
        ShowMessage(error);
}

void TGUIF::Loadsoftwarestate1Click()
{
    const FileDialogRequest request{StateFileFilter, QString(), ProgramFolder(), QString()};
    QString fileName;
    if (!CurrentPrompts().OpenFileName(request, fileName))
        return;
    TSoftwareState state;
    QString error;
    if (!ReadSoftwareStateFile(fileName, state, error)) {
        ShowMessage(error);
        return;
    }
    ApplySoftwareState(state);
}

bool TGUIF::ApplySoftwareState(const TSoftwareState& state)
{
    QStringList unplaced;
    if (!LoadSoftwareState(state, runControl, engine, *this, unplaced)) {
        ShowMessage(QStringLiteral("Stop all running devices before loading a software state."));
        return false;
    }
    SetTimeUnit(state.TimeUnit);
    const QList<QSplitter*> splitters{SplitterTop, SplitterBottom, SplitterVertical};
    for (int i = 0; i < splitters.size() && i < state.SplitterLayout.size(); ++i)
        splitters.at(i)->restoreState(state.SplitterLayout.at(i));
    TDeviceInfo device;
    if (GetSelectedDevice(device))
        DeviceDetailsUI(device);
    if (!unplaced.isEmpty())
        ShowMessage(QStringLiteral("Not placed on this rig:\n") + unplaced.join(u'\n'));
    return true;
}

void TGUIF::OfferResumeOfInterruptedRun()
{
    // The latest run first; an older one left behind is offered at the next start.
    const QStringList files = FindRunStateFiles(DataLogFolder());
    if (files.isEmpty())
        return;
    const QString fileName = files.first();
    TRunState state;
    QString error, ignored;
    if (!ReadRunStateFile(fileName, state, error)) {
        ShowMessage(QStringLiteral("An interrupted run left a record that cannot be read (%1): %2. "
                                   "Check that its instruments are at rest.")
                        .arg(QFileInfo(fileName).fileName(), error));
        CurrentFileWriter().RemoveFile(fileName, ignored);
        return;
    }
    const bool resume = CurrentPrompts().AskYesNo(ResumeQuestion(state));
    // Either way its instruments must be found before they can be reached.
    if (!MissingRunningDevices(state).isEmpty() && !searchDone)
        Searchdevices1Click();
    if (!resume) {
        QStringList unreached;
        BringRunToRest(state, runControl, engine, *this, unreached);
        CurrentFileWriter().RemoveFile(fileName, ignored);
        MM(QStringLiteral("Interrupted run discarded: ") + QFileInfo(state.DataLogFileName).fileName());
        if (!unreached.isEmpty())
            ShowMessage(QStringLiteral("Not found to bring to rest, check them:\n") + unreached.join(u'\n'));
        return;
    }
    ContinueDataLog(state.DataLogFileName);
    runStateKeeper.Adopt(fileName);
    ApplySoftwareState(state.Setup);
    ResumeRunningDevices(state, runControl, DaysToDateTime(Now()));
    // The rows of the interrupted run are in the file again at once.
    FlowDataSave(true);
}

void TGUIF::ContinueDataLog(const QString& fileName)
{
    dataLog.ContinueLog(fileName, ReadDataLogLines(fileName) << ResumeMarkerRow(Now()));
    MemoData->LinesReplaced(dataLog.DataLineCount());
    messageFile.FollowDataLog(fileName);
    MM(QStringLiteral("Data log file: ") + QFileInfo(fileName).fileName());
    FlowDataLogFileCaption();
}
