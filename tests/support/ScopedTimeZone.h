#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// The time zone of the process for the object's lifetime, so that local
// times and their UTC offsets are known to the test.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) : saved(qgetenv("TZ")), hadZone(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ScopedTimeZone()
    {
        if (hadZone)
            qputenv("TZ", saved);
        else
            qunsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    QByteArray saved;
    bool hadZone;
};
