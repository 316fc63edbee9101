#include "usb/NativeFile.h"

#include <QDir>
#include <QFileInfo>

// On Windows a file name is UTF-16, which a QString holds whole: every name
// is opened, looked at and written through Qt.
namespace NativeFile {

bool open(QFile &file, const QString &fileName, QIODevice::OpenMode mode, QString *reason)
{
    file.setFileName(fileName);
    if (file.open(mode))
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

Entry entry(const QString &fileName)
{
    const QFileInfo info(fileName);
    Entry found;
    found.exists = info.exists();
    found.isFile = info.isFile();
    found.isFolder = info.isDir();
    found.size = info.size();
    return found;
}

bool makeFolder(const QString &folderName)
{
    return QDir().mkpath(folderName);
}

bool writtenByBytes(const QString &)
{
    return false;
}

bool writeComplete(const QString &, const QByteArray &, QString *reason)
{
    // Never asked for: writtenByBytes() is false for every name here.
    if (reason)
        *reason = QStringLiteral("not written by bytes on Windows");
    return false;
}

} // namespace NativeFile
