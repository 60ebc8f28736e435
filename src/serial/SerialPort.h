#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

class QSerialPort;

// Result of one exchange. A fresh record is all zero; ClearSerialResponse
// gives the documented start values. An empty Status means success.
struct TSerialResponse {
    QByteArray SentMessage;
    QString Response;
    double rDouble = 0;
    std::array<quint8, 256> rArray{};
    std::array<quint8, 32> WordArray{};
    qint32 ValueOfFirstWord = 0;
    qint32 ValueOfSecondWord = 0;
    QString Status;
    quint16 ResponseLength = 0; // wide enough for a full 256-byte reply
    QByteArray AsHex;
    QByteArray AsInt;
    float AsFloat = 0;
    qint32 AsInteger = 0;
    QByteArray AsString;
};

void ClearSerialResponse(TSerialResponse& response);

// The machine's serial ports and the virtual ports of the port folder, sorted
// without regard to case (COM10 before COM2).
QStringList ListSerialPorts();

// Debug builds count the exchanges started on the application's main thread
// (release builds count none), so that tests can show which work stays off
// it: only device discovery and the maintenance tools talk from there.
quint64 MainThreadExchanges();

// One command, and optionally one reply, on a named port. The port is opened
// at the start of every exchange and closed before the call returns, so other
// users of the same port are never locked out between exchanges.
class TSerialPort {
public:
    TSerialPort();

    bool Debug() const { return fDebug; }
    void SetDebug(bool value) { fDebug = value; }
    QString DebugMSG() const { return fDebugMSG; }
    QByteArray Port() const { return fPort; }
    void SetPort(const QByteArray& value) { fPort = value; }
    void SetPort(const QString& value) { fPort = value.toLatin1(); }
    quint32 WindowsReadLoopTimeoutMS() const { return fWindowsReadLoopTimeoutMS; }
    void SetWindowsReadLoopTimeoutMS(quint32 value) { fWindowsReadLoopTimeoutMS = value; }
    quint32 ReadoutTimeoutMS() const { return fReadoutTimeoutMS; }
    void SetReadoutTimeoutMS(quint32 value) { fReadoutTimeoutMS = value; }
    qint32 BaudRate() const { return fBaudRate; }
    void SetBaudRate(qint32 value) { fBaudRate = value; }
    qint32 StopBits() const { return fStopBits; }
    void SetStopBits(qint32 value) { fStopBits = value; }
    qint32 Parity() const { return fParity; }
    void SetParity(qint32 value) { fParity = value; }

    // The text goes out in Windows-1252.
    TSerialResponse Send2(const QString& aMessage, bool WaitForResponse);
    TSerialResponse Send2(const QByteArray& aMessage, bool WaitForResponse);
    TSerialResponse Send2(const char* aMessage, bool WaitForResponse) { return Send2(QByteArray(aMessage), WaitForResponse); }
    TSerialResponse SendData(const void* Data, int dataSize, bool WaitForResponse);
    // Opens the port and drops whatever arrives until the line has been quiet
    // for `quietMS`, or `longestMS` have passed: what a late reply left on the
    // line must not pass for the next command's reply. The milliseconds until
    // the first byte dropped, -1 when the line stayed quiet or did not open.
    qint64 DiscardUntilQuiet(quint32 quietMS, quint32 longestMS);

    // The configuration steps on an open port; false for a port that is not
    // open or a setting the port refuses.
    bool SetDCBState(QSerialPort& ComDevice) const;
    bool SetTimeOuts(QSerialPort& ComDevice) const;
    bool SetBuffers(QSerialPort& ComDevice) const;

private:
    bool fDebug = false;
    QString fDebugMSG;
    QByteArray fPort;
    quint32 fWindowsReadLoopTimeoutMS = 333;
    quint32 fReadoutTimeoutMS = 1000;
    qint32 fBaudRate = 9600;
    qint32 fStopBits = 0;
    qint32 fParity = 0;
};
