#include "VirtualLine.h"

#include "serial/PortFolder.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <thread>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Longest request line kept; beyond it the line is noise and only its end
// marker matters.
constexpr qsizetype MaxLineBytes = 1024;
constexpr size_t ReadChunkBytes = 4096;

qint32 SpeedToBaudRate(speed_t speed)
{
    struct Rate {
        speed_t speed;
        qint32 baudRate;
    };
    static constexpr Rate rates[] = {
        {B0, 0},         {B50, 50},         {B75, 75},         {B110, 110},       {B134, 134},
        {B150, 150},     {B200, 200},       {B300, 300},       {B600, 600},       {B1200, 1200},
        {B1800, 1800},   {B2400, 2400},     {B4800, 4800},     {B9600, 9600},     {B19200, 19200},
        {B38400, 38400}, {B57600, 57600},   {B115200, 115200}, {B230400, 230400}, {B460800, 460800},
        {B500000, 500000}, {B576000, 576000}, {B921600, 921600}, {B1000000, 1000000},
    };
    for (const Rate& rate : rates) {
        if (rate.speed == speed)
            return rate.baudRate;
    }
    return -1; // a speed no instrument of ours uses
}

void CloseDescriptor(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

struct VirtualLine::Private {
    explicit Private(qint32 baudRate)
        : instrumentBaudRate(baudRate)
    {
    }

    const qint32 instrumentBaudRate;
    QString devicePath; // set by Start before the reader runs, fixed afterwards

    std::thread reader;
    std::atomic<bool> stopping{false};
    std::atomic<bool> unplugged{false};
    std::atomic<LineFault> fault{LineFault::None};
    std::atomic<int> replyDelayMS{0};

    // Guards the descriptors (the reader closes them itself when the line is
    // unplugged from within a request) and the noise generator.
    mutable std::mutex lineMutex;
    int masterFd = -1;
    // The line keeps its own descriptor of the program's end open: it reads the
    // program's line settings through it, and while it is open the master never
    // sees a hang-up when the program closes the port between exchanges.
    int slaveFd = -1;
    std::minstd_rand noise{20240611};

    // Which speed did the program's bytes go out at? The program's port puts
    // back the settings it found (speed 0, the mark of a closed port) when it
    // closes, maybe before the reader has read what was written just before.
    // So the program may only write once the reader has seen its speed: the
    // program's output is held (as by XOFF) while its port is closed and let
    // go when the reader, woken by a change of the program's settings (the
    // master runs in packet mode with external processing on), finds a speed
    // set. Bytes read after the port has closed again went out at the speed
    // last seen.
    std::atomic<qint32> lastProgramBaudRate{0};
    bool programOutputOpen = true; // the reader's own

    // The program's speed while it has the port open, 0 while it has not.
    qint32 CurrentProgramBaudRate() const
    {
        std::lock_guard lock(lineMutex);
        termios settings{};
        if (slaveFd < 0 || ::tcgetattr(slaveFd, &settings) != 0)
            return 0;
        return SpeedToBaudRate(::cfgetospeed(&settings));
    }

    // The speed the program's bytes read now went out at, on the reader.
    qint32 ProgramBaudRateForInput()
    {
        const qint32 current = CurrentProgramBaudRate();
        if (current != 0)
            lastProgramBaudRate = current;
        SetProgramOutputOpen(current != 0);
        return lastProgramBaudRate;
    }

    void SetProgramOutputOpen(bool open)
    {
        if (open == programOutputOpen)
            return;
        std::lock_guard lock(lineMutex);
        if (slaveFd >= 0 && ::tcflow(slaveFd, open ? TCOON : TCOOFF) == 0)
            programOutputOpen = open;
    }

    // Ends the reader's wait for input.
    int wakeReadFd = -1;
    int wakeWriteFd = -1;

    // Guards the received lines and the registered name; `changed` wakes
    // WaitForLine and an unfinished slow reply.
    mutable std::mutex stateMutex;
    mutable std::condition_variable changed;
    QByteArrayList received;
    QString registeredName;

    // Set by the reader itself: the owner's thread object is only for the owner.
    std::atomic<std::thread::id> readerId;

    bool OnReaderThread() const { return readerId.load() == std::this_thread::get_id(); }

    void Wake()
    {
        if (wakeWriteFd >= 0) {
            const char byte = 0;
            [[maybe_unused]] const ssize_t written = ::write(wakeWriteFd, &byte, 1);
        }
        std::lock_guard lock(stateMutex);
        changed.notify_all();
    }

    void Unregister()
    {
        std::lock_guard lock(stateMutex);
        if (!registeredName.isEmpty())
            UnregisterVirtualPort(registeredName, devicePath);
        registeredName.clear();
    }

    void CloseLine()
    {
        std::lock_guard lock(lineMutex);
        CloseDescriptor(masterFd);
        CloseDescriptor(slaveFd);
    }

    // True when the line was stopped before `ms` had passed.
    bool WaitUntilStopping(int ms)
    {
        std::unique_lock lock(stateMutex);
        return changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping.load(); });
    }

    void Send(QByteArray bytes, bool garbled)
    {
        std::lock_guard lock(lineMutex);
        if (garbled) {
            // High bytes only: nothing a driver could take for digits or a status
            std::uniform_int_distribution<int> noiseByte(0x80, 0xFF);
            for (char& byte : bytes)
                byte = char(noiseByte(noise));
        }
        qsizetype done = 0;
        while (masterFd >= 0 && done < bytes.size()) {
            const ssize_t written = ::write(masterFd, bytes.constData() + done, size_t(bytes.size() - done));
            if (written > 0)
                done += written;
            else if (written < 0 && errno == EINTR)
                continue;
            else
                break; // the program's input queue is full: the rest is lost, as on a real line
        }
    }

    void Serve(VirtualLine& line);
};

VirtualLine::VirtualLine(qint32 instrumentBaudRate)
    : d(std::make_unique<Private>(instrumentBaudRate))
{
}

VirtualLine::~VirtualLine()
{
    Stop();
}

bool VirtualLine::Start()
{
    if (d->reader.joinable() || d->unplugged)
        return false;
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return false;
    // Raw, so that nothing the instrument sends is echoed back to it or
    // rewritten while the program has the port closed; speed 0 marks the
    // settings of a closed port.
    termios settings{};
    ::tcgetattr(slave, &settings);
    ::cfmakeraw(&settings);
    ::cfsetspeed(&settings, B0);
    settings.c_lflag |= EXTPROC;
    ::tcsetattr(slave, TCSANOW, &settings);
    const int packetMode = 1;
    ::ioctl(master, TIOCPKT, &packetMode);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    char name[PATH_MAX];
    int wake[2];
    if (::ptsname_r(master, name, sizeof name) != 0 || ::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(master);
        ::close(slave);
        return false;
    }
    d->devicePath = QString::fromLocal8Bit(name);
    d->masterFd = master;
    d->slaveFd = slave;
    d->wakeReadFd = wake[0];
    d->wakeWriteFd = wake[1];
    d->stopping = false;
    d->lastProgramBaudRate = 0;
    d->programOutputOpen = true;
    d->SetProgramOutputOpen(false);
    d->reader = std::thread([this] { d->Serve(*this); });
    return true;
}

void VirtualLine::Stop()
{
    if (d->OnReaderThread()) {
        // Stopped from inside a request: the reader closes the line when the
        // request is over; the owner's Stop() later joins it.
        d->stopping = true;
        d->Unregister();
        return;
    }
    if (d->reader.joinable()) {
        d->stopping = true;
        d->Wake();
        d->reader.join();
    }
    d->Unregister();
    d->CloseLine();
    CloseDescriptor(d->wakeReadFd);
    CloseDescriptor(d->wakeWriteFd);
}

void VirtualLine::Unplug()
{
    d->unplugged = true;
    d->Unregister();
    if (d->OnReaderThread())
        return; // the reader closes the line once the current request is over
    Stop();
}

bool VirtualLine::PlugBack(const QString& comName)
{
    if (!d->unplugged || d->OnReaderThread())
        return false;
    Stop(); // joins the reader, should it have closed the line itself
    d->unplugged = false;
    return Start() && Register(comName);
}

QString VirtualLine::DevicePath() const
{
    return d->devicePath;
}

bool VirtualLine::Register(const QString& comName)
{
    if (d->devicePath.isEmpty() || d->unplugged)
        return false;
    d->Unregister();
    if (!RegisterVirtualPort(comName, d->devicePath))
        return false;
    std::lock_guard lock(d->stateMutex);
    d->registeredName = comName;
    return true;
}

QString VirtualLine::RegisteredName() const
{
    std::lock_guard lock(d->stateMutex);
    return d->registeredName;
}

void VirtualLine::SetFault(LineFault fault)
{
    d->fault = fault;
}

void VirtualLine::SetReplyDelayMS(int ms)
{
    d->replyDelayMS = ms;
}

LineFault VirtualLine::Fault() const
{
    return d->fault;
}

qint32 VirtualLine::ProgramBaudRate() const
{
    const qint32 current = d->CurrentProgramBaudRate();
    return current != 0 ? current : d->lastProgramBaudRate.load();
}

QByteArrayList VirtualLine::ReceivedLines() const
{
    // A deep copy: a shared list would let the reader's copy and the line's
    // next append meet inside Qt's reference counting, which the thread
    // sanitizer cannot follow.
    std::lock_guard lock(d->stateMutex);
    QByteArrayList copy;
    copy.reserve(d->received.size());
    for (const QByteArray& line : d->received)
        copy.append(QByteArray(line.constData(), line.size()));
    return copy;
}

void VirtualLine::ClearReceivedLines()
{
    std::lock_guard lock(d->stateMutex);
    d->received.clear();
}

bool VirtualLine::WaitForLine(const QByteArray& line, int timeoutMS) const
{
    std::unique_lock lock(d->stateMutex);
    return d->changed.wait_for(lock, std::chrono::milliseconds(timeoutMS), [&] { return d->received.contains(line); });
}

void VirtualLine::Reply(const QByteArray& bytes)
{
    const LineFault fault = Fault();
    if (fault == LineFault::Silent)
        return;
    const int delayMS = fault == LineFault::Slow ? SlowReplyMS : d->replyDelayMS.load();
    if (delayMS > 0 && d->WaitUntilStopping(delayMS))
        return;
    d->Send(bytes, fault == LineFault::Garbled);
}

void VirtualLine::Private::Serve(VirtualLine& line)
{
    readerId = std::this_thread::get_id();
    QByteArray request;
    char chunk[ReadChunkBytes];
    while (!stopping && !unplugged) {
        pollfd fds[2] = {{masterFd, POLLIN, 0}, {wakeReadFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents != 0)
            break;
        if (fds[0].revents == 0)
            continue;
        const ssize_t count = ::read(masterFd, chunk, sizeof chunk);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (count <= 0)
            break; // the line is gone
        // In packet mode a read gives either a status byte (here: the program
        // changed its settings) or a zero byte followed by data.
        const qint32 programBaudRate = ProgramBaudRateForInput();
        if (chunk[0] != TIOCPKT_DATA)
            continue;
        const bool understood = programBaudRate == instrumentBaudRate;
        for (ssize_t i = 1; i < count && !stopping && !unplugged; ++i) {
            const char byte = chunk[i];
            if (byte == '\n')
                continue;
            if (byte != '\r') {
                if (request.size() < MaxLineBytes)
                    request.append(byte);
                continue;
            }
            {
                std::lock_guard lock(stateMutex);
                received.append(request);
                changed.notify_all();
            }
            if (understood)
                line.OnRequest(request);
            // A fresh buffer rather than clear(): the received list shares the
            // old one, and the thread sanitizer cannot see Qt drop its share.
            request = QByteArray();
        }
    }
    if (stopping || unplugged)
        CloseLine();
}
