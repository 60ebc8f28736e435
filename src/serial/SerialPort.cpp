#include "serial/SerialPort.h"

#include "base/Clock.h"
#include "base/TextEncoding.h"
#include "base/TextHelpers.h"
#include "serial/PortFolder.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QThread>
#include <QTime>

#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <cstring>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

Q_LOGGING_CATEGORY(lcSerialPort, "SerialPort", QtWarningMsg)

namespace {
std::atomic<quint64> mainThreadExchanges{0};

void NoteExchangeThread()
{
#ifndef NDEBUG
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && app->thread() == QThread::currentThread())
        ++mainThreadExchanges;
#endif
}
} // namespace

quint64 MainThreadExchanges()
{
    return mainThreadExchanges.load();
}

namespace {

constexpr qint64 MaxReplyBytes = 256;
constexpr qint64 QueueSizeBytes = 4096;
// A read ends when no further byte follows within this interval...
constexpr int ReadIntervalTimeoutMS = 20;
// ...or when this much time per wanted byte, plus a constant, has passed.
constexpr int ReadTotalTimeoutPerByteMS = 10;
constexpr int ReadTotalTimeoutConstantMS = 200;
// Writing may take this much per byte plus a constant.
constexpr int WriteTotalTimeoutPerByteMS = 10;
constexpr int WriteTotalTimeoutConstantMS = 1000;

const QString PortInUseStatus = QStringLiteral("Failed to setup Com port, port in use");
const QString TimeoutsStatus = QStringLiteral("Failed to setup Com port timeouts");
const QString BuffersStatus = QStringLiteral("Failed to setup Com port buffer size");
const QString WriteFailedStatus = QStringLiteral("Failed to write to Com port");
const QString ReadFailedStatus = QStringLiteral("Failed to read from Com port");

// Parity and stop-bit codes as the line-settings record numbers them.
bool ParityFromCode(qint32 code, QSerialPort::Parity& parity)
{
    switch (code & 0xFF) {
    case 0: parity = QSerialPort::NoParity; return true;
    case 1: parity = QSerialPort::OddParity; return true;
    case 2: parity = QSerialPort::EvenParity; return true;
    case 3: parity = QSerialPort::MarkParity; return true;
    case 4: parity = QSerialPort::SpaceParity; return true;
    default: return false;
    }
}

bool StopBitsFromCode(qint32 code, QSerialPort::StopBits& stopBits)
{
    switch (code & 0xFF) {
    case 0: stopBits = QSerialPort::OneStop; return true;
    case 1: stopBits = QSerialPort::OneAndHalfStop; return true;
    case 2: stopBits = QSerialPort::TwoStop; return true;
    default: return false;
    }
}

// Speed, 8 data bits, parity, stop bits and no handshake onto the port
// object; on a closed port they become the settings its opening applies.
bool ApplyLineSettings(const TSerialPort& serial, QSerialPort& port)
{
    QSerialPort::Parity parity;
    QSerialPort::StopBits stopBits;
    if (!ParityFromCode(serial.Parity(), parity) || !StopBitsFromCode(serial.StopBits(), stopBits))
        return false;
    return port.setBaudRate(serial.BaudRate()) && port.setDataBits(QSerialPort::Data8) && port.setParity(parity)
           && port.setStopBits(stopBits) && port.setFlowControl(QSerialPort::NoFlowControl);
}

// True when the port holds at least one received byte.
bool InputQueued(QSerialPort& port)
{
    port.waitForReadyRead(0);
    return port.bytesAvailable() > 0;
}

// One bounded read of at most MaxReplyBytes, like a read with interval and
// total time-outs: it takes what has arrived and what follows within the
// interval time-out, never longer than the total time-out.
bool ReadReply(QSerialPort& port, QByteArray& bytes)
{
    QElapsedTimer total;
    total.start();
    const qint64 totalTimeoutMS = ReadTotalTimeoutPerByteMS * MaxReplyBytes + ReadTotalTimeoutConstantMS;
    bytes.clear();
    while (bytes.size() < MaxReplyBytes) {
        const QByteArray chunk = port.read(MaxReplyBytes - bytes.size());
        if (port.error() == QSerialPort::ReadError || port.error() == QSerialPort::ResourceError)
            return false;
        bytes.append(chunk);
        if (bytes.size() >= MaxReplyBytes)
            break;
        const qint64 leftMS = totalTimeoutMS - total.elapsed();
        if (leftMS <= 0 || !port.waitForReadyRead(int(std::min<qint64>(ReadIntervalTimeoutMS, leftMS))))
            break;
    }
    return true;
}

// One write of the whole command, bounded by the write time-out.
bool WriteAll(QSerialPort& ComDevice, const QByteArray& bytes)
{
    if (ComDevice.write(bytes) != bytes.size())
        return false;
    const QDeadlineTimer deadline(WriteTotalTimeoutPerByteMS * bytes.size() + WriteTotalTimeoutConstantMS);
    while (ComDevice.bytesToWrite() > 0) {
        if (!ComDevice.waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
#ifdef Q_OS_UNIX
    // Closing the port puts back the line settings it was opened with, at
    // once: the command has to be off the line by then, or its tail would go
    // out at another speed.
    ::tcdrain(int(ComDevice.handle()));
#endif
    return true;
}

QString ClockText()
{
    return DaysToDateTime(Now()).toString(QStringLiteral("hh:mm:ss.zzz"));
}

// The port name as the trace lines show it.
QString PortText(const QByteArray& port)
{
    return QString::fromLatin1(port);
}

// Opens the port and runs the three configuration steps, calling
// `stepDone(n)` after each of the four; the failure status, empty when the
// port is ready.
template <typename StepDone>
QString OpenAndConfigure(const TSerialPort& serial, QSerialPort& port, StepDone stepDone)
{
    port.setPortName(ResolvePortName(PortText(serial.Port())));
    // The port opens straight at the wanted speed instead of passing through
    // the port object's default one.
    ApplyLineSettings(serial, port);
    if (!port.open(QIODevice::ReadWrite))
        return PortInUseStatus;
    stepDone(2);
    if (!serial.SetDCBState(port))
        return PortInUseStatus;
    stepDone(3);
    if (!serial.SetTimeOuts(port))
        return TimeoutsStatus;
    stepDone(4);
    if (!serial.SetBuffers(port))
        return BuffersStatus;
    stepDone(5);
    return QString();
}

} // namespace

void ClearSerialResponse(TSerialResponse& response)
{
    response.SentMessage.clear();
    response.Response.clear();
    response.rDouble = -1.0;
    response.ValueOfFirstWord = -1;
    response.ValueOfSecondWord = -1;
    response.Status.clear();
    response.ResponseLength = 0;
    response.AsHex.clear();
    response.AsInt.clear();
    response.AsFloat = -1.0f;
    response.AsInteger = -1;
    response.AsString.clear();
}

QStringList ListSerialPorts()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& port : ports) {
        if (!port.portName().isEmpty())
            names.append(port.portName());
    }
    names.append(VirtualPortNames());
    names.removeDuplicates();
    names.sort(Qt::CaseInsensitive);
    return names;
}

TSerialPort::TSerialPort() = default;

bool TSerialPort::SetDCBState(QSerialPort& ComDevice) const
{
    if (!ComDevice.isOpen() || !ApplyLineSettings(*this, ComDevice))
        return false;
    // DTR and RTS are raised where the line has them; a pseudo-terminal has
    // no modem lines and refuses, which is no reason to give up the line.
    ComDevice.setDataTerminalReady(true);
    ComDevice.setRequestToSend(true);
    ComDevice.clearError();
    return true;
}

bool TSerialPort::SetTimeOuts(QSerialPort& ComDevice) const
{
    // The time-outs are applied by each read and write of the exchange
    // (ReadReply, WriteAll); nothing to hand to the port beforehand.
    return ComDevice.isOpen();
}

bool TSerialPort::SetBuffers(QSerialPort& ComDevice) const
{
    if (!ComDevice.isOpen())
        return false;
    ComDevice.setReadBufferSize(QueueSizeBytes);
    // A freshly opened port starts with an empty input queue: nothing a
    // previous exchange left unread may pass for this exchange's reply. The
    // output queue is left alone; on a pseudo-terminal clearing it would take
    // back bytes the other end has not read yet.
    return ComDevice.clear(QSerialPort::Input);
}

TSerialResponse TSerialPort::Send2(const QString& aMessage, bool WaitForResponse)
{
    return Send2(EncodeCp1252(aMessage), WaitForResponse);
}

TSerialResponse TSerialPort::Send2(const QByteArray& aMessage, bool WaitForResponse)
{
    NoteExchangeThread();
    TSerialResponse result;
    QElapsedTimer started;
    started.start();
    result.SentMessage = aMessage;

    QSerialPort port; // closed by its destructor on every way out
    const QString setupStatus = OpenAndConfigure(*this, port, [](int) {});
    if (!setupStatus.isEmpty()) {
        result.Status = setupStatus;
        qCDebug(lcSerialPort).noquote() << PortText(fPort) << setupStatus;
        return result;
    }
    if (!WriteAll(port, aMessage)) {
        result.Status = WriteFailedStatus;
        qCDebug(lcSerialPort).noquote() << WriteFailedStatus;
        return result;
    }
    result.SentMessage = aMessage;
    if (lcSerialPort().isDebugEnabled()) {
        QString ordinals;
        for (const char byte : aMessage)
            ordinals += QString::number(quint8(byte)) + QLatin1Char(' ');
        qCDebug(lcSerialPort).noquote() << "PortName: " + PortText(fPort) + QLatin1Char(' ');
        qCDebug(lcSerialPort).noquote() << "Bytes written: " + QString::number(aMessage.size()) + QLatin1Char(' ');
        qCDebug(lcSerialPort).noquote() << "As string: " + TrimControl(DecodeCp1252(aMessage)) + QLatin1Char(' ');
        qCDebug(lcSerialPort).noquote() << "As ordinals: " + ordinals;
    }

    if (!WaitForResponse) {
        result.Status = QStringLiteral("Exit read/write without waiting for reply");
        qCDebug(lcSerialPort).noquote() << result.Status;
        return result;
    }

    // The queue is checked before each pause, so a reply always gets at least
    // one full pause to arrive completely before it is read. Bytes noted in the
    // last check are read even when the deadline has passed meanwhile.
    QElapsedTimer waiting;
    waiting.start();
    bool bytesQueued = false;
    for (;;) {
        qCDebug(lcSerialPort) << "Waiting for data or timeout";
        bytesQueued = InputQueued(port);
        QThread::msleep(fWindowsReadLoopTimeoutMS);
        if (waiting.elapsed() > qint64(fReadoutTimeoutMS)) {
            qCDebug(lcSerialPort) << "Timeout";
            break;
        }
        if (bytesQueued)
            break;
    }
    if (!bytesQueued) {
        result.Status = QStringLiteral("Timeout while waiting for response, exiting.\r\n");
        qCDebug(lcSerialPort).noquote() << result.Status;
        return result;
    }

    QByteArray bytes;
    if (!ReadReply(port, bytes)) {
        result.Status = ReadFailedStatus;
        qCDebug(lcSerialPort).noquote() << ReadFailedStatus;
        return result;
    }
    result.Response = TrimControl(DecodeCp1252(bytes));
    qCDebug(lcSerialPort).noquote() << "Data read: " + result.Response;
    qCDebug(lcSerialPort).noquote() << "Duration:" + QTime(0, 0).addMSecs(int(started.elapsed())).toString(QStringLiteral("ss:zzz"));
    return result;
}

qint64 TSerialPort::DiscardUntilQuiet(quint32 quietMS, quint32 longestMS)
{
    QSerialPort port; // closed by its destructor on every way out
    if (!OpenAndConfigure(*this, port, [](int) {}).isEmpty())
        return -1;
    QElapsedTimer started;
    started.start();
    QElapsedTimer quiet;
    quiet.start();
    qint64 firstByteMS = -1;
    while (quiet.elapsed() < qint64(quietMS) && started.elapsed() < qint64(longestMS)) {
        const qint64 leftMS = std::min(qint64(quietMS) - quiet.elapsed(), qint64(longestMS) - started.elapsed());
        if (!port.waitForReadyRead(int(std::max<qint64>(leftMS, 1)))) {
            if (port.error() == QSerialPort::ResourceError)
                break; // the line is gone: nothing more will arrive
            continue;
        }
        const QByteArray dropped = port.readAll();
        if (dropped.isEmpty())
            continue;
        if (firstByteMS < 0)
            firstByteMS = started.elapsed();
        qCDebug(lcSerialPort).noquote() << "Dropped late bytes: " + TrimControl(DecodeCp1252(dropped));
        quiet.restart();
    }
    return firstByteMS;
}

TSerialResponse TSerialPort::SendData(const void* Data, int dataSize, bool WaitForResponse)
{
    NoteExchangeThread();
    TSerialResponse result;
    fDebugMSG.clear();
    const auto stamp = [this](int point) {
        if (fDebug)
            fDebugMSG += QStringLiteral("Time %1: ").arg(point, 2) + ClockText() + QStringLiteral("\r\n");
    };
    stamp(1);
    result.Status = QStringLiteral("Unknown problem reading serial port");
    result.ResponseLength = 0;
    // -1 unless a reply of at least 7 characters gives the words
    result.ValueOfFirstWord = -1;
    result.ValueOfSecondWord = -1;

    QSerialPort port; // closed by its destructor on every way out
    const QString setupStatus = OpenAndConfigure(*this, port, stamp);
    if (!setupStatus.isEmpty()) {
        result.Status = setupStatus;
        return result;
    }
    const QByteArray bytes(static_cast<const char*>(Data), std::max(dataSize, 0));
    if (!WriteAll(port, bytes)) {
        result.Status = WriteFailedStatus;
        return result;
    }
    stamp(6);

    if (!WaitForResponse) {
        result.Response.clear();
        result.Status.clear();
        return result;
    }

    QThread::msleep(fWindowsReadLoopTimeoutMS);
    stamp(7);
    QElapsedTimer waiting;
    waiting.start();
    bool bytesQueued = false;
    while (!bytesQueued && waiting.elapsed() <= qint64(fReadoutTimeoutMS)) {
        bytesQueued = InputQueued(port);
        QThread::msleep(fWindowsReadLoopTimeoutMS);
    }
    stamp(8);

    if (bytesQueued) {
        QByteArray reply;
        if (!ReadReply(port, reply)) {
            result.Status = ReadFailedStatus;
            stamp(9);
            return result;
        }
        std::memcpy(result.rArray.data(), reply.constData(), size_t(reply.size()));
        result.Response = DecodeCp1252(reply);
        result.Status.clear();
        result.ResponseLength = decltype(result.ResponseLength)(reply.size());
        if (result.Response.size() >= 7) {
            result.ValueOfFirstWord = result.Response.at(3).unicode() * 256 + result.Response.at(4).unicode();
            result.ValueOfSecondWord = result.Response.at(5).unicode() * 256 + result.Response.at(6).unicode();
        }
    } else {
        result.Response.clear();
        result.Status = QStringLiteral("Timeout while waiting for response");
    }
    stamp(9);
    return result;
}
