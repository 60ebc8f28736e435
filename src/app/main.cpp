#include "app/Startup.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RunStartupSequence();
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tarvo 2026-10-16"));
    window.setMinimumWidth(691);
    window.showMaximized();
    return app.exec();
}
