#pragma once

#include <QString>
#include <QtGlobal>

// One owner per unit on the whole host: two programs (two vt520ctl
// processes, vt520ctl and the window, any user, sudo, cron, a service)
// never drive the same unit at once.
//
// While a unit is open the kernel's exclusive interface claim guards it; a
// firmware change lets go of the unit while it resets and re-enumerates, so
// the lock must outlive the device node. It is a file per port path (a port
// path survives re-enumeration, an address does not) in one folder that
// every user of the host sees, held with flock() for as long as this object
// lives and dropped by the system when the process ends, however it ends.
//
// An operation holds the lock exclusively; a look (listing the units) holds
// it shared for the moment it opens a unit, so a listing never opens a unit
// that an operation holds, and an operation that finds only a look in its
// way waits for the look to end instead of refusing.
//
// The files are made empty and never written, truncated or removed by
// whoever holds them; who holds one is read from the kernel (/proc/locks and
// the holder's command line), so nobody can name a false holder. A file is
// trusted only when it is a regular file, with one link, owned by root, by
// this user or by a member of the folder's group. A name that is not such a
// file (a planted symlink, another user's file) is never opened through: it
// is replaced where this user may remove it, else the unit is driven with
// the kernel's claim alone and warning() says why. So a user who may not
// drive the units can neither block them nor turn the tool's writes against
// a file.
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

    // Takes the unit for an operation: exclusively, without waiting for
    // another operation (a look in the way is waited for, briefly). holder
    // is kept for the others' messages in this process only; other
    // processes learn the holder from the kernel.
    Status take(const QString &holder = QString());
    // Takes the unit for a look: shared with other looks, refused while an
    // operation holds it.
    Status look();
    void release();
    bool isHeld() const { return fd >= 0; }

    // The process that holds the unit, after InUse: its id (0 where the
    // kernel does not show it to this user) and its command line.
    qint64 holderPid() const { return otherPid; }
    QString holderName() const { return otherName; }
    // "process 1234 (vt520ctl upgrade fw.upg)", or "another process" when
    // the kernel does not say which.
    QString holderText() const;
    QString reason() const { return failure; }
    // Said when the lock could not be used and the unit is driven with the
    // kernel's claim alone (a name that is not a trustworthy lock file).
    QString warning() const { return caution; }
    QString fileName() const { return path; }

    // $VT520_LOCK_DIR where set; else /run/lock/vt520, which the package
    // makes at boot (systemd-tmpfiles); else /run/lock; else the temporary
    // directory.
    static QString directory();

private:
    Status lock(bool exclusive);
    int openTrusted();
    void learnHolder(int file);

    QString path;
    int fd = -1;
    qint64 otherPid = 0;
    QString otherName;
    QString failure;
    QString caution;
};
