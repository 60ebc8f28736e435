#pragma once

#include <QString>

// The folder where log files and the dialogs' folders live: next to the
// program file, or the user's data folder when the program is installed or
// cannot write beside itself. Tests point it at a throwaway folder.
QString ProgramFolder();
void SetProgramFolder(const QString& folder); // empty restores the default

// True when ProgramFolder() is the user's data folder instead of the
// program file's folder (the start-up says so in the message log).
bool ProgramFolderIsUserData();

// The choice itself: the user's data folder when the program sits in its
// installed place or its folder is not writable, else the program's folder.
QString ChooseProgramFolder(const QString& programDir, const QString& installedBinDir,
                            bool programDirWritable, const QString& userDataDir);
