#pragma once

#include <QString>
#include <QStringList>

// The programs and scenes files last opened or saved (newest first, at most
// MaxFiles) and the folder last used for each kind of file, kept in the
// program's settings for the next run.
class RecentFiles
{
public:
    static constexpr int MaxFiles = 8;

    QStringList files() const;
    // Puts the file first and remembers its folder for files with its suffix.
    void add(const QString &fileName);
    // Drops the files that no longer exist; returns them.
    QStringList dropMissing();

    // The folder for a dialog of files with this suffix ("pgm", "scn"):
    // the one last used, or the current folder.
    QString folderFor(const QString &suffix) const;
};
