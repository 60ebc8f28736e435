#pragma once

#include <QString>

// The folder of the program file: log files and the dialogs' folders live
// next to it. Tests point it at a throwaway folder.
QString ProgramFolder();
void SetProgramFolder(const QString& folder); // empty restores the default
