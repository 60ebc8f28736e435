#include "cli/CliCommands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tarvo-cli"));
    PrepareCliCommands();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCliCommand(app.arguments().mid(1), out, err);
}
