#pragma once

#include <QByteArray>
#include <QString>

// Writes a file complete or not at all. The bytes go to a temporary file
// beside the target (QSaveFile), every write and the flush of the buffered
// rest are checked, and only a temporary that holds every byte is renamed to
// the target name. On any failure the temporary is removed, a file that was
// at the target name before stays as it was, and the system's reason ("No
// space left on device") is given back. A target that is not a regular file
// (a device, a FIFO, a socket, /dev/stdout) is not replaced but written in
// place (InPlaceFileWriter). A name that keeps bytes Qt cannot decode is
// written the same way by its bytes (NativeFile).
class CompleteFileWriter
{
public:
    // True when fileName holds exactly bytes. On false, *reason (when given)
    // holds the system's reason.
    static bool write(const QString &fileName, const QByteArray &bytes, QString *reason = nullptr);
};
