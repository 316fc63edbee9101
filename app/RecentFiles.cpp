#include "app/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString FilesKey = QStringLiteral("recentFiles");

QString folderKey(const QString &suffix)
{
    return QStringLiteral("lastFolder/") + suffix.toLower();
}

} // namespace

QStringList RecentFiles::files() const
{
    return QSettings().value(FilesKey).toStringList().mid(0, MaxFiles);
}

void RecentFiles::add(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString path = info.absoluteFilePath();
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    QSettings settings;
    settings.setValue(FilesKey, list.mid(0, MaxFiles));
    settings.setValue(folderKey(info.suffix()), info.absolutePath());
}

QStringList RecentFiles::dropMissing()
{
    QStringList kept;
    QStringList missing;
    for (const QString &file : files())
        (QFileInfo::exists(file) ? kept : missing).append(file);
    if (!missing.isEmpty())
        QSettings().setValue(FilesKey, kept);
    return missing;
}

QString RecentFiles::folderFor(const QString &suffix) const
{
    const QString folder = QSettings().value(folderKey(suffix)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QStringLiteral(".");
}
