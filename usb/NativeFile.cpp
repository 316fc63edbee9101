#include "usb/NativeFile.h"

#include "usb/NativeFileName.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace NativeFile {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

int openFlags(QIODevice::OpenMode mode)
{
    int flags = O_CLOEXEC;
    const bool reads = mode & QIODevice::ReadOnly;
    const bool writes = mode & (QIODevice::WriteOnly | QIODevice::Append);
    if (!writes)
        return flags | O_RDONLY;
    flags |= (reads ? O_RDWR : O_WRONLY) | O_CREAT;
    if (mode & QIODevice::Append)
        flags |= O_APPEND;
    // As QFile: writing alone starts the file afresh.
    else if ((mode & QIODevice::Truncate) || !reads)
        flags |= O_TRUNC;
    return flags;
}

int openBytes(const QByteArray &name, int flags, mode_t permissions = 0666)
{
    int descriptor;
    do
        descriptor = ::open(name.constData(), flags, permissions);
    while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

bool writeAll(int descriptor, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(descriptor, bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            if (count == 0)
                errno = EIO;
            return false;
        }
        written += count;
    }
    return true;
}

} // namespace

bool open(QFile &file, const QString &fileName, QIODevice::OpenMode mode, QString *reason)
{
    if (!NativeFileName::keepsBytes(fileName)) {
        file.setFileName(fileName);
        if (file.open(mode))
            return true;
        if (reason)
            *reason = file.errorString();
        return false;
    }
    const int descriptor = openBytes(NativeFileName::toBytes(fileName), openFlags(mode));
    if (descriptor < 0) {
        if (reason)
            *reason = systemReason(errno);
        return false;
    }
    if (!file.open(descriptor, mode, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

Entry entry(const QString &fileName)
{
    Entry found;
    if (!NativeFileName::keepsBytes(fileName)) {
        const QFileInfo info(fileName);
        found.exists = info.exists();
        found.isFile = info.isFile();
        found.isFolder = info.isDir();
        found.size = info.size();
        return found;
    }
    struct stat status = {};
    if (::stat(NativeFileName::toBytes(fileName).constData(), &status) != 0)
        return found;
    found.exists = true;
    found.isFile = S_ISREG(status.st_mode);
    found.isFolder = S_ISDIR(status.st_mode);
    found.size = status.st_size;
    return found;
}

bool makeFolder(const QString &folderName)
{
    if (!NativeFileName::keepsBytes(folderName))
        return QDir().mkpath(folderName);
    const QByteArray path = NativeFileName::toBytes(folderName);
    // Each folder from the top down; one that is there already is fine.
    for (qsizetype end = path.indexOf('/', 1);; end = path.indexOf('/', end + 1)) {
        const QByteArray folder = end < 0 ? path : path.left(end);
        if (::mkdir(folder.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (end < 0)
            return true;
    }
}

bool writtenByBytes(const QString &fileName)
{
    return NativeFileName::keepsBytes(fileName);
}

bool writeComplete(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    const QByteArray target = NativeFileName::toBytes(fileName);
    // A file that is replaced keeps its permissions; a new one gets those
    // the umask leaves, as QSaveFile gives them.
    struct stat existing = {};
    const bool replaces = ::stat(target.constData(), &existing) == 0;
    QByteArray temporary;
    int descriptor = -1;
    do {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        descriptor = openBytes(temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (descriptor < 0 && errno == EEXIST);
    int failure = descriptor < 0 ? errno : 0;
    if (failure == 0) {
        if ((replaces && ::fchmod(descriptor, existing.st_mode & 07777) != 0) || !writeAll(descriptor, bytes)
            || ::fdatasync(descriptor) != 0)
            failure = errno;
        if (::close(descriptor) != 0 && failure == 0 && errno != EINTR)
            failure = errno;
        if (failure == 0 && ::rename(temporary.constData(), target.constData()) != 0)
            failure = errno;
        if (failure != 0)
            ::unlink(temporary.constData());
    }
    if (failure != 0 && reason)
        *reason = systemReason(failure);
    return failure == 0;
}

} // namespace NativeFile
