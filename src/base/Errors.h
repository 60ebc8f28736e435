#pragma once

#include <QString>

#include <stdexcept>

// The program's own error family. Raised only where a failure cannot be
// reported by a result (an unknown gas number, a number that does not
// convert); the callers that can recover catch TarvoError.
class TarvoError : public std::runtime_error {
public:
    explicit TarvoError(const QString& message)
        : std::runtime_error(message.toStdString()), text(message) {}
    const QString& Message() const { return text; }

private:
    QString text;
};

// A text that should have been a number.
class EConvertError : public TarvoError {
public:
    using TarvoError::TarvoError;
};
