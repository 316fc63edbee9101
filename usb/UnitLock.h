#pragma once

#include <QString>
#include <QtGlobal>

// An advisory lock on one unit, so that two programs (two vt520ctl
// processes, or vt520ctl and the window) never drive the same unit at once.
// The lock is a file named after the unit's port path in the runtime
// directory, held with flock() for as long as this object lives (and
// dropped by the system when the process ends, however it ends). The file
// holds the holder's process id and a short description, for the message
// of whoever finds the unit in use.
class UnitLock
{
public:
    enum class Status {
        Taken,  // this object holds the unit
        InUse,  // another holder has it: holderPid() and holderName() say who
        Failed, // the lock file could not be made or locked: reason() says why
    };

    explicit UnitLock(const QString &portPath);
    ~UnitLock();
    UnitLock(const UnitLock &) = delete;
    UnitLock &operator=(const UnitLock &) = delete;

    // Tries once, without waiting. holder describes this process for the
    // others ("vt520ctl upgrade").
    Status take(const QString &holder);
    void release();

    qint64 holderPid() const { return otherPid; }
    QString holderName() const { return otherName; }
    QString reason() const { return failure; }
    QString fileName() const { return path; }

    // $XDG_RUNTIME_DIR, else /run/lock, else the temporary directory: the
    // first that exists and may be written to.
    static QString directory();

private:
    QString path;
    int fd = -1;
    qint64 otherPid = 0;
    QString otherName;
    QString failure;
};
