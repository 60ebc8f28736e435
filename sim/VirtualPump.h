#pragma once

#include "sim/VirtualLine.h"

#include <QString>

#include <memory>

// A Hamilton PSD/4 syringe pump at address 1 on a virtual line at 9600 baud.
// Every request "/1" + commands + CR gets "/0", a status byte, the data, ETX,
// CR, LF. The status byte has bit 5 set while ready and carries the error code
// in its low bits: "`" ready, "@" busy, "g" ready with syringe not initialised,
// "O" busy with an action refused.
//
// Timing is simulated coarsely: a command string runs step by step in time
// (plunger moves at the top speed V, valve turns 250 ms, waits M, loops g...G,
// initialisation InitDurationMS), and the plunger position jumps to a move's
// target when the move starts. Queries are answered at once, also while busy;
// "T" stops at once; other actions while busy are refused.
class VirtualPump : public VirtualLine {
public:
    static constexpr qint32 BaudRate = 9600;
    static constexpr quint8 ReadyStatusByte = 0x60;
    // A status byte some pumps send for "ready"; Windows-1252 reads it as U+2018.
    static constexpr quint8 ReadyStatusByteAlt = 0x91;

    // The pump keeps `serial` the way the program stores it: its first four
    // characters as the move in stored string 12, the next four in string 13.
    explicit VirtualPump(const QString& serial = QStringLiteral("2020465"));
    ~VirtualPump() override;

    // How long "Z" (initialisation) keeps the pump busy; 3000 ms unless set.
    void SetInitDurationMS(int ms);
    // The byte sent for "ready, no error" (ReadyStatusByte or ReadyStatusByteAlt).
    void SetReadyByte(quint8 byte);
    // Fault: every reply carries this error letter ('a' ... 'o'); 0 for none.
    void SetPumpError(char errorLetter);
    // Fault: the syringe meets too much back pressure now: the running string
    // halts and replies carry error i until the next action is accepted.
    void Overload();
    // Fault: the reply to "T" carries this error letter; 0 for none.
    void SetStopError(char errorLetter);
    // Fault: the pump reports busy for ever and ignores "T".
    void SetStaysBusy(bool staysBusy);

    // What the pump is doing now, for tests.
    bool IsBusy() const;
    bool IsInitialized() const;
    int Position() const;
    int TopSpeed() const;
    QString StoredString(int slot) const;

protected:
    void OnRequest(const QByteArray& line) override;

private:
    struct Private;
    std::unique_ptr<Private> p;
};
