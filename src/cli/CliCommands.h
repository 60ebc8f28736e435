#pragma once

#include <QStringList>

class QTextStream;

// Exit codes of tarvo-cli.
enum TCliExit : int {
    ceSuccess = 0,
    ceFailure = 1,      // an instrument failed, a port was refused, a program is invalid
    ceBadArguments = 2, // the command line itself is wrong
};

// Sets up what the commands rely on: "." as the decimal separator, the gas
// table, the standard flow units and the known-device table.
void PrepareCliCommands();

// Runs one tarvo-cli command; `arguments` excludes the program name. Results
// go to `out`, failures and refusals to `err`.
TCliExit RunCliCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
