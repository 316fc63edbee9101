#include "usb/UnitLock.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <vector>

namespace {

// How long an operation waits for looks (listings) that hold the unit for
// the moment they open it, and how often it tries again meanwhile.
constexpr int LookWaitMs = 3000;
constexpr int LookRetryMs = 20;

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool usableDirectory(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

// Whether the user with this id belongs to this group (as primary or
// supplementary group).
bool userInGroup(uid_t user, gid_t group)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return false;
    if (found->pw_gid == group)
        return true;
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
        groups.resize(size_t(count));
        if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(size_t(count));
    for (gid_t member : groups) {
        if (member == group)
            return true;
    }
    return false;
}

// A lock file is trusted when nobody who may not drive the units can have
// made it: a plain file with one name, owned by root, by this user, or by a
// member of the lock folder's group.
bool trusted(const struct stat &file, const struct stat &folder)
{
    if (!S_ISREG(file.st_mode) || file.st_nlink != 1)
        return false;
    if (file.st_uid == 0 || file.st_uid == ::geteuid())
        return true;
    return userInGroup(file.st_uid, folder.st_gid);
}

QString commandLineOf(qint64 pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray line = file.read(512);
    while (line.endsWith('\0'))
        line.chop(1);
    // The program by its file name, then its arguments as given.
    const qsizetype programEnd = line.indexOf('\0');
    const qsizetype nameStart = line.lastIndexOf('/', programEnd < 0 ? -1 : programEnd - 1) + 1;
    line.remove(0, nameStart);
    line.replace('\0', ' ');
    // Shown in a message, so nothing that would steer a terminal.
    for (char &c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    }
    return QString::fromLocal8Bit(line);
}

struct Holder {
    qint64 pid = 0;
    bool exclusive = false;
};

// The flock() holders of a file, as the kernel lists them in /proc/locks:
// "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF". Lines that begin
// with "->" are waiters, not holders.
std::vector<Holder> holdersOf(const struct stat &file)
{
    std::vector<Holder> holders;
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return holders;
    const QByteArray device = QByteArray::number(uint(major(file.st_dev)), 16).rightJustified(2, '0') + ':'
                              + QByteArray::number(uint(minor(file.st_dev)), 16).rightJustified(2, '0') + ':';
    const QByteArray inode = QByteArray::number(qulonglong(file.st_ino));
    std::vector<Holder> sameInode; // where a file system shows another device number
    for (const QByteArray &text : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = text.simplified().split(' ');
        if (fields.size() < 6 || fields.at(1) != "FLOCK")
            continue;
        const QByteArray where = fields.at(5);
        if (!where.endsWith(':' + inode))
            continue;
        const Holder holder{fields.at(4).toLongLong(), fields.at(3) == "WRITE"};
        if (where.startsWith(device))
            holders.push_back(holder);
        else
            sameInode.push_back(holder);
    }
    return holders.empty() ? sameInode : holders;
}

} // namespace

UnitLock::UnitLock(const QString &portPath)
{
    // A port path holds digits, dashes and dots only; anything else is kept
    // out of the file name all the same.
    QString name = portPath;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    path = QDir(directory()).filePath(QStringLiteral("vt520-%1.lock").arg(name));
}

UnitLock::~UnitLock()
{
    release();
}

QString UnitLock::directory()
{
    const QString chosen = qEnvironmentVariable("VT520_LOCK_DIR");
    if (!chosen.isEmpty())
        return chosen;
    // The package's folder exists from boot on whether or not this user may
    // write to it; a user outside its group is told so when locking.
    const QString shared = QStringLiteral("/run/lock/vt520");
    if (QFileInfo(shared).isDir())
        return shared;
    if (usableDirectory(QStringLiteral("/run/lock")))
        return QStringLiteral("/run/lock");
    return QDir::tempPath();
}

QString UnitLock::holderText() const
{
    if (otherPid <= 0)
        return QCoreApplication::translate("UnitLock", "another process");
    if (otherName.isEmpty())
        return QCoreApplication::translate("UnitLock", "process %1").arg(otherPid);
    return QCoreApplication::translate("UnitLock", "process %1 (%2)").arg(otherPid).arg(otherName);
}

UnitLock::Status UnitLock::take(const QString &)
{
    return lock(true);
}

UnitLock::Status UnitLock::look()
{
    return lock(false);
}

// Opens the lock file read-only (flock needs no more, and a file that is
// never written cannot be turned against anybody), making it where it is
// missing. -1 with failure set when it cannot be opened; -2 with caution set
// when the name holds something untrusted that stays.
int UnitLock::openTrusted()
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray folderName = QFile::encodeName(QFileInfo(path).absolutePath());
    struct stat folder = {};
    if (::stat(folderName.constData(), &folder) != 0) {
        failure = QStringLiteral("cannot use the lock folder %1: %2")
                      .arg(QString::fromLocal8Bit(folderName), systemReason(errno));
        return -1;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        // O_NOFOLLOW: a planted symlink is never followed; O_NONBLOCK: a
        // planted FIFO never blocks the open.
        int file = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0 && errno == ENOENT) {
            // 0640 less the umask: only the owner's group may open it, so
            // nobody outside it can hold it against the others.
            file = ::open(name.constData(), O_RDONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0640);
            if (file < 0 && errno == EEXIST)
                continue; // made by another process just now
        }
        const int openError = errno;
        struct stat found = {};
        if (file >= 0 && ::fstat(file, &found) == 0 && trusted(found, folder))
            return file;
        if (file >= 0)
            ::close(file);
        if (file < 0 && openError != ELOOP && openError != EACCES && openError != ENXIO && openError != EPERM) {
            failure = QStringLiteral("cannot open %1: %2").arg(path, systemReason(openError));
            return -1;
        }
        if (file < 0 && openError == EACCES && ::lstat(name.constData(), &found) != 0) {
            // The folder itself is closed to this user (not in its group).
            caution = QStringLiteral("the lock folder %1 is not open to this user: the unit is guarded only by "
                                     "the system's claim while it is open")
                          .arg(QString::fromLocal8Bit(folderName));
            return -2;
        }
        // Something that is not a trustworthy lock file has the name: it is
        // removed where this user may (the name itself, never what it
        // points to), and made anew.
        if (::unlink(name.constData()) != 0) {
            caution = QStringLiteral("%1 is not a lock file of this tool and cannot be replaced: the unit is "
                                     "guarded only by the system's claim while it is open")
                          .arg(path);
            return -2;
        }
    }
    failure = QStringLiteral("cannot make %1: it keeps being replaced").arg(path);
    return -1;
}

void UnitLock::learnHolder(int file)
{
    otherPid = 0;
    otherName.clear();
    struct stat found = {};
    if (::fstat(file, &found) != 0)
        return;
    for (const Holder &holder : holdersOf(found)) {
        if (holder.pid <= 0)
            continue;
        otherPid = holder.pid;
        otherName = commandLineOf(holder.pid);
        if (holder.exclusive)
            break;
    }
}

UnitLock::Status UnitLock::lock(bool exclusive)
{
    if (fd >= 0)
        return Status::Taken;
    failure.clear();
    caution.clear();
    otherPid = 0;
    otherName.clear();
    const int file = openTrusted();
    if (file == -2)
        return Status::Taken; // driven with the claim alone; caution says why
    if (file < 0)
        return Status::Failed;

    const QDeadlineTimer lookWait(LookWaitMs);
    for (;;) {
        int locked;
        do {
            locked = ::flock(file, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
        } while (locked != 0 && errno == EINTR);
        if (locked == 0) {
            fd = file;
            return Status::Taken;
        }
        if (errno != EWOULDBLOCK) {
            failure = QStringLiteral("cannot lock %1: %2").arg(path, systemReason(errno));
            ::close(file);
            return Status::Failed;
        }
        // Only looks in the way of an operation: they end within moments.
        // A holder that has gone by the time the kernel's list is read is
        // tried again too.
        struct stat found = {};
        bool onlyLooks = exclusive && ::fstat(file, &found) == 0;
        if (onlyLooks) {
            for (const Holder &holder : holdersOf(found))
                onlyLooks = onlyLooks && !holder.exclusive;
        }
        if (!onlyLooks || lookWait.hasExpired()) {
            learnHolder(file);
            ::close(file);
            return Status::InUse;
        }
        QThread::msleep(LookRetryMs);
    }
}

void UnitLock::release()
{
    if (fd < 0)
        return;
    // The file stays: removing it would race with a process about to lock
    // it. The lock goes with the close.
    ::close(fd);
    fd = -1;
}
