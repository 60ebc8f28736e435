#include <QtGlobal>

// Window tests never need a display: the test list is read (at CTest's test
// discovery) and the tests run on the offscreen platform even where no
// QT_QPA_PLATFORM is set. Runs before main() creates the application.
static const bool offscreenPlatform = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return true;
}();
