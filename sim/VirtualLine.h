#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <memory>

// Faults every virtual instrument can show on its line.
enum class LineFault {
    None,
    Silent,  // reads requests, never answers
    Garbled, // answers with noise instead of its reply
    Slow,    // answers after SlowReplyMS
};

// The instrument's end of a pseudo-terminal. The program opens the other end
// by its device path, or by the COM-style name under which the line is
// registered in the port folder, exactly as it opens a serial port.
// Requests arrive on the line's own thread, one line at a time (CR ends a
// line, a LF is ignored); the instrument answers with Reply().
class VirtualLine {
public:
    explicit VirtualLine(qint32 instrumentBaudRate);
    virtual ~VirtualLine(); // derived instruments call Stop() in their own destructor
    VirtualLine(const VirtualLine&) = delete;
    VirtualLine& operator=(const VirtualLine&) = delete;

    bool Start();   // opens the pseudo-terminal and starts serving it
    void Stop();    // stops serving, closes the line and unregisters it
    void Unplug();  // the cable is pulled mid-run: the line goes dead and its name disappears
    // The cable is plugged back in (not from OnRequest()): the instrument,
    // which kept running meanwhile, serves a new line under `comName`.
    bool PlugBack(const QString& comName);
    // Stop() and Unplug() may also be called from OnRequest(); the line then
    // closes as soon as that request is over. An unplugged line starts again
    // only through PlugBack().
    QString DevicePath() const;
    // Registers the line in the port folder under a COM-style name (COM6, ...).
    bool Register(const QString& comName);
    QString RegisteredName() const;

    void SetFault(LineFault fault);
    LineFault Fault() const;
    static constexpr int SlowReplyMS = 1500;
    // Every reply goes out this long after its request (0: at once). The
    // instrument hears its next request only after it has answered, so a
    // program that does not wait long enough reads the previous reply.
    void SetReplyDelayMS(int ms);

    // Speed the program last set on its end of the line, 0 before it did; it
    // stays known after the program has closed the port.
    qint32 ProgramBaudRate() const;

    // Every request line received so far (also those of a wrong speed, as the
    // noise the instrument heard), for tests.
    QByteArrayList ReceivedLines() const;
    void ClearReceivedLines();
    // Waits until a received line equals `line`; false after `timeoutMS`.
    bool WaitForLine(const QByteArray& line, int timeoutMS) const;

protected:
    // One request line without its terminator, on the line's thread, received
    // at the instrument's own speed. A request at another speed never arrives
    // here: a real instrument hears only noise.
    virtual void OnRequest(const QByteArray& line) = 0;
    // Sends bytes to the program, honouring the line's fault mode.
    void Reply(const QByteArray& bytes);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
