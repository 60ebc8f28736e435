#include "base/Prompts.h"
#include "app/Startup.h"
#include "ui/GUIF.h"
#include "ui/WindowPrompts.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Tarvo"));
    RunStartupSequence();
    TGUIF window;
    TWindowPrompts prompts(&window);
    SetPrompts(&prompts);
    window.CloseOnTerminationSignals();
    // Without a window manager "maximised" means nothing; the size still fills the screen.
    window.resize(window.screen()->availableSize());
    window.showMaximized();
    QTimer::singleShot(0, &window, &TGUIF::OfferResumeOfInterruptedRun);
    const int exitCode = app.exec();
    SetPrompts(nullptr);
    return exitCode;
}
