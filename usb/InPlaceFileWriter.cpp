#include "usb/InPlaceFileWriter.h"

#include "usb/NativeFileName.h"

#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The descriptor that a name of an open stream stands for, or -1. Such a
// name is written through a copy of the descriptor: opening it again would
// start a new offset at 0 over a file the shell has opened for appending.
int openStream(const QString &fileName)
{
    if (fileName == QLatin1String("/dev/stdout"))
        return STDOUT_FILENO;
    if (fileName == QLatin1String("/dev/stderr"))
        return STDERR_FILENO;
    static const QRegularExpression descriptorName(QStringLiteral("^/(?:dev/fd|proc/self/fd)/(\\d+)$"));
    const QRegularExpressionMatch match = descriptorName.match(fileName);
    if (!match.hasMatch())
        return -1;
    bool ok = false;
    const int descriptor = match.captured(1).toInt(&ok);
    return ok ? descriptor : -1;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool InPlaceFileWriter::applies(const QString &fileName)
{
    if (openStream(fileName) >= 0)
        return true;
    struct stat status = {};
    // A name not there yet, or a regular file, is written complete or not
    // at all instead.
    if (::stat(NativeFileName::toBytes(fileName).constData(), &status) != 0)
        return false;
    return !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

bool InPlaceFileWriter::write(const QString &fileName, const QByteArray &bytes, QString *reason)
{
    const int stream = openStream(fileName);
    // No O_CREAT and no O_TRUNC: the target is used as it is. A FIFO waits
    // here for its reader.
    int descriptor = stream >= 0
                         ? ::fcntl(stream, F_DUPFD_CLOEXEC, 0)
                         : ::open(NativeFileName::toBytes(fileName).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    while (descriptor < 0 && errno == EINTR && stream < 0)
        descriptor = ::open(NativeFileName::toBytes(fileName).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        if (reason)
            *reason = systemReason(errno);
        return false;
    }
    qint64 written = 0;
    int failure = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(descriptor, bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            failure = count < 0 ? errno : EIO;
            break;
        }
        written += count;
    }
    if (::close(descriptor) != 0 && failure == 0 && errno != EINTR)
        failure = errno;
    if (failure != 0 && reason)
        *reason = systemReason(failure);
    return failure == 0;
}
