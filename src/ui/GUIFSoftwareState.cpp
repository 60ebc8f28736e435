// "Save software state" and "Load software state".
#include "ui/GUIF.h"

#include "base/ProgramFolder.h"
#include "base/Prompts.h"
#include "devices/DeviceRegistry.h"
#include "engine/SoftwareState.h"

#include <QAction>
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
