#pragma once

#include <QByteArray>
#include <QString>

// Writes into a file that must not be replaced: a character device
// (/dev/null, a serial line), a FIFO, a socket, or an already open stream
// named by /dev/stdout, /dev/stderr, /dev/fd/N or /proc/self/fd/N. Such a
// target is opened as it is and written where it stands: renaming a
// temporary over it would put a regular file in its place, or write beside
// the reader instead of to it.
class InPlaceFileWriter
{
public:
    // Whether fileName is such a target (checked at the moment of asking).
    static bool applies(const QString &fileName);

    // True when every byte was written. On false, *reason (when given)
    // holds the system's reason.
    static bool write(const QString &fileName, const QByteArray &bytes, QString *reason = nullptr);
};
