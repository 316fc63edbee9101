#include "usb/UnitLock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// How long an operation waits for looks (listings) that hold the unit for
// the moment they open it, and how often it tries again meanwhile.
constexpr int LookWaitMs = 3000;
constexpr int LookRetryMs = 20;

HANDLE handleOf(int file)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(file));
}

// Locks the file's first byte, without waiting: true when this handle has
// it now, false when another handle holds it in a conflicting way.
bool lockByte(int file, bool exclusive, DWORD *error)
{
    OVERLAPPED at = {};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (::LockFileEx(handleOf(file), flags, 0, 1, 0, &at))
        return true;
    *error = ::GetLastError();
    return false;
}

void unlockByte(int file)
{
    OVERLAPPED at = {};
    ::UnlockFileEx(handleOf(file), 0, 1, 0, &at);
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

// $VT520_LOCK_DIR where set; else the temporary folder. Windows has no
// folder that every user's programs share by default, and a unit is opened
// by one user's programs at a time there anyway (WinUSB allows one handle).
QString UnitLock::directory()
{
    const QString chosen = qEnvironmentVariable("VT520_LOCK_DIR");
    if (!chosen.isEmpty())
        return chosen;
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

// Opens (or makes) the lock file for reading, shared with every other
// holder: the byte-range lock, not the sharing mode, says who has the unit.
// -1 with failure set when it cannot be opened.
int UnitLock::openTrusted()
{
    const HANDLE handle = ::CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure = QStringLiteral("cannot open %1: %2").arg(path, qt_error_string(int(::GetLastError())));
        return -1;
    }
    const int file = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY);
    if (file < 0) {
        ::CloseHandle(handle);
        failure = QStringLiteral("cannot open %1: %2").arg(path, qt_error_string(-1));
    }
    return file;
}

// Windows does not say which process holds a byte-range lock.
void UnitLock::learnHolder(int)
{
    otherPid = 0;
    otherName.clear();
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
    if (file < 0)
        return Status::Failed;

    const QDeadlineTimer lookWait(LookWaitMs);
    for (;;) {
        DWORD error = 0;
        if (lockByte(file, exclusive, &error)) {
            fd = file;
            return Status::Taken;
        }
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
            failure = QStringLiteral("cannot lock %1: %2").arg(path, qt_error_string(int(error)));
            ::_close(file);
            return Status::Failed;
        }
        // Only looks in the way of an operation (they end within moments)
        // when a shared lock is granted where the exclusive one was not.
        bool onlyLooks = exclusive && lockByte(file, false, &error);
        if (onlyLooks)
            unlockByte(file);
        if (!onlyLooks || lookWait.hasExpired()) {
            learnHolder(file);
            ::_close(file);
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
    // it. The lock goes with the handle.
    ::_close(fd);
    fd = -1;
}
