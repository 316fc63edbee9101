#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The file system by a file name that may keep bytes Qt cannot decode
// (NativeFileName): such a name is opened, looked at and written by its
// exact bytes with the system's own calls; any other name goes through Qt as
// ever. On Windows every name is UTF-16 and Qt's.
namespace NativeFile {

// Opens file under fileName (read, write, append, as QFile::open takes the
// mode). On false, *reason (when given) holds the system's reason.
bool open(QFile &file, const QString &fileName, QIODevice::OpenMode mode, QString *reason = nullptr);

// What is at a name, symbolic links followed; nothing there (or not to be
// looked at) is exists false.
struct Entry {
    bool exists = false;
    bool isFile = false;
    bool isFolder = false;
    qint64 size = 0;
};
Entry entry(const QString &fileName);

// Makes the folder and those above it that are missing; false with errno
// set when one cannot be made.
bool makeFolder(const QString &folderName);

// Whether fileName is written by writeComplete rather than through QSaveFile.
bool writtenByBytes(const QString &fileName);

// For a name that keeps bytes: the bytes into a temporary beside the
// target, every write checked, synced and renamed to the target only then,
// as QSaveFile does for the names it can open. On false the temporary is
// gone and *reason (when given) holds the system's reason.
bool writeComplete(const QString &fileName, const QByteArray &bytes, QString *reason = nullptr);

} // namespace NativeFile
