#pragma once

#include <QString>

#include <memory>

class QLockFile;

// One owner per port. Whoever uses a port for longer than one exchange (a
// device's worker thread, the device search, a maintenance tool, the
// command-line companion) holds its lock, so no other user can slip commands
// in between. The lock is a file per port device in the runtime folder; it
// goes when its holder releases it or exits, and a lock whose process is gone
// is taken over.
class TPortLock {
public:
    TPortLock();
    ~TPortLock();
    TPortLock(const TPortLock&) = delete;
    TPortLock& operator=(const TPortLock&) = delete;

    // Takes `port` for this object. False when another user holds it, with
    // `refusal` saying who ("Port COM6 is in use by Tarvo (process 4711).").
    bool Acquire(const QString& port, QString& refusal);
    void Release();
    bool IsHeld() const;

private:
    std::unique_ptr<QLockFile> file;
};

// The folder of the lock files: tarvo/locks in $XDG_RUNTIME_DIR, else in the
// system's temporary folder.
QString PortLockFolderPath();
// The lock file of a port: named after the device the port name leads to, so
// two names of one device share a lock.
QString PortLockFilePath(const QString& port);
