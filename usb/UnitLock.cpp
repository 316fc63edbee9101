#include "usb/UnitLock.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

bool writableDirectory(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    return info.isDir() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
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
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (writableDirectory(runtime))
        return runtime;
    if (writableDirectory(QStringLiteral("/run/lock")))
        return QStringLiteral("/run/lock");
    return QDir::tempPath();
}

UnitLock::Status UnitLock::take(const QString &holder)
{
    if (fd >= 0)
        return Status::Taken;
    const QByteArray name = QFile::encodeName(path);
    // 0666: the lock file is shared by every user who may drive the unit.
    int file = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0 && errno == EACCES) // another user's file: locked all the same
        file = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        failure = QStringLiteral("cannot open %1: %2").arg(path, systemReason());
        return Status::Failed;
    }
    int locked;
    do {
        locked = ::flock(file, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool inUse = errno == EWOULDBLOCK;
        if (!inUse)
            failure = QStringLiteral("cannot lock %1: %2").arg(path, systemReason());
        // "PID description" as the holder wrote it; it may be writing it
        // just now, so a missing line only leaves the holder unnamed.
        char text[256] = {};
        const ssize_t count = ::pread(file, text, sizeof text - 1, 0);
        ::close(file);
        if (!inUse)
            return Status::Failed;
        const QString line = QString::fromLocal8Bit(text, count > 0 ? int(count) : 0).section(QLatin1Char('\n'), 0, 0);
        otherPid = line.section(QLatin1Char(' '), 0, 0).toLongLong();
        otherName = line.section(QLatin1Char(' '), 1);
        return Status::InUse;
    }
    const QByteArray line = QByteArray::number(qint64(::getpid())) + ' ' + holder.toLocal8Bit() + '\n';
    if (::ftruncate(file, 0) != 0 || ::pwrite(file, line.constData(), size_t(line.size()), 0) != line.size()) {
        // The lock holds all the same; only the others' message is poorer.
    }
    fd = file;
    return Status::Taken;
}

void UnitLock::release()
{
    if (fd < 0)
        return;
    // Emptied first, so that nobody reads a holder that has gone; the file
    // itself stays, as removing it would race with a process about to lock
    // it.
    if (::ftruncate(fd, 0) != 0) {
        // Nothing to do: the lock goes with the close below.
    }
    ::close(fd);
    fd = -1;
}
