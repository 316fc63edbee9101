#include "app/LightingFilesController.h"

#include "app/LightingTab.h"
#include "app/RecentFiles.h"
#include "app/StatusMessageTimes.h"
#include "app/UserQuestions.h"
#include "lighting/FileKind.h"
#include "lighting/LightingDocument.h"
#include "lighting/LightingFile.h"

#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>

LightingFilesController::LightingFilesController(QMainWindow &window, LightingTab &programTab, LightingTab &sceneTab,
                                                 QTabWidget &tabs, QWidget &programsPage, QWidget &scenesPage)
    : QObject(&window)
    , window(window)
    , programTab(programTab)
    , sceneTab(sceneTab)
    , tabs(tabs)
    , programsPage(programsPage)
    , scenesPage(scenesPage)
{
}

void LightingFilesController::setQuestions(UserQuestions *newQuestions)
{
    questions = newQuestions;
}

void LightingFilesController::showResult(const QString &text)
{
    window.statusBar()->showMessage(text, ResultMessageMs);
}

bool LightingFilesController::maybeSave(LightingTab &tab)
{
    if (!tab.isModifiedOnDisplay())
        return true;
    const QString text = tab.isPrograms() ? tr("The programs have been changed since they were last saved, "
                                               "read or written.\nSave the changes?")
                                          : tr("The scenes have been changed since they were last saved, "
                                               "read or written.\nSave the changes?");
    switch (questions->warning(&window, tr("Unsaved changes"), text,
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
    case QMessageBox::Save:
        return save(tab, true);
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

// As before sending the table, the record selected now is stored first, so
// that the file holds what the tab shows.
bool LightingFilesController::save(LightingTab &tab, bool toCurrentFile)
{
    LightingDocument &document = tab.document();
    const bool programsDocument = tab.isPrograms();
    QString fileName = toCurrentFile ? document.fileName() : QString();
    if (fileName.isEmpty()) {
        fileName =
            questions->saveFileName(&window, programsDocument ? tr("Save Programs File") : tr("Save Scenes File"),
                                    RecentFiles().folderFor(document.fileSuffix()),
                                    programsDocument ? tr("Programs Files (*.pgm)") : tr("Scens Files (*.scn)"));
        if (fileName.isNull())
            return false;
        // The open dialog's filter would hide a file without its extension.
        if (QFileInfo(fileName).suffix().isEmpty())
            fileName += QLatin1Char('.') + document.fileSuffix();
    }
    tab.storeSelected();
    QString reason;
    if (LightingFile::save(fileName, document.kind(), document.table(), &reason) != LightingFile::Status::Ok) {
        // Names the file and the system's reason; the old file, if any, is intact.
        questions->critical(&window, tr("File error"),
                            tr("The file %1 could not be saved.\n%2").arg(QDir::toNativeSeparators(fileName), reason),
                            QMessageBox::Ok);
        return false;
    }
    document.setFileName(fileName);
    document.setClean();
    RecentFiles().add(fileName);
    showResult(tr("Saved %1").arg(QFileInfo(fileName).fileName()));
    emit fileChanged();
    return true;
}

// The whole file is checked before the table is touched.
bool LightingFilesController::load(LightingTab &tab)
{
    if (!maybeSave(tab))
        return false;
    LightingDocument &document = tab.document();
    const bool programsDocument = tab.isPrograms();
    const QString fileName =
        questions->openFileName(&window, programsDocument ? tr("Open Programs File") : tr("Open Scenes File"),
                                RecentFiles().folderFor(document.fileSuffix()),
                                programsDocument ? tr("Programs Files (*.pgm)") : tr("Scens Files (*.scn)"));
    if (fileName.isNull())
        return false;
    const LightingFile::ReadResult file = LightingFile::load(fileName, document.kind());
    if (file.status != LightingFile::Status::Ok) {
        questions->critical(&window, tr("File error"), LightingFile::loadFailureText(file.status), QMessageBox::Ok);
        return false;
    }
    adopt(tab, fileName, file.table);
    return true;
}

// A file read whole and accepted becomes the tab's table (an undo step),
// file and clean point.
void LightingFilesController::adopt(LightingTab &tab, const QString &fileName, const QByteArray &table)
{
    LightingDocument &document = tab.document();
    if (table != document.table())
        tab.replaceTable(table, tr("Load from File"));
    document.setFileName(fileName);
    document.setClean();
    RecentFiles().add(fileName);
    showResult(tr("Loaded %1").arg(QFileInfo(fileName).fileName()));
}

bool LightingFilesController::open(const QString &fileName)
{
    const FileKind::Kind kind = FileKind::of(fileName);
    const bool lighting = kind == FileKind::Kind::Programs || kind == FileKind::Kind::Scenes;
    LightingTab &tab = kind == FileKind::Kind::Scenes ? sceneTab : programTab;
    // Read as programs when it is neither, so that a file that cannot be
    // opened is refused with the system's reason.
    const LightingFile::ReadResult file =
        LightingFile::load(fileName, tab.isPrograms() ? LightingFile::Kind::Programs : LightingFile::Kind::Scenes);
    if (!lighting && file.status != LightingFile::Status::CannotOpen) {
        questions->critical(&window, tr("File error"),
                            tr("The file %1 is neither a programs file nor a scenes file; it was not opened.")
                                .arg(QDir::toNativeSeparators(fileName)),
                            QMessageBox::Ok);
        return false;
    }
    if (file.status != LightingFile::Status::Ok) {
        QString text = LightingFile::loadFailureText(file.status);
        if (!file.reason.isEmpty())
            text += QLatin1Char('\n') + file.reason;
        questions->critical(&window, tr("File error"), QDir::toNativeSeparators(fileName) + QLatin1Char('\n') + text,
                            QMessageBox::Ok);
        return false;
    }
    tabs.setCurrentWidget(tab.isPrograms() ? &programsPage : &scenesPage);
    if (!maybeSave(tab))
        return false;
    adopt(tab, fileName, file.table);
    tab.showSelected();
    emit fileChanged();
    return true;
}

QStringList LightingFilesController::localFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

void LightingFilesController::drop(const QStringList &fileNames)
{
    for (const QString &file : fileNames) {
        if (FileKind::of(file) == FileKind::Kind::Upgrade)
            emit upgradeFileDropped(file);
        else
            open(file);
    }
}

QMenu *LightingFilesController::makeRecentMenu()
{
    auto *menu = new QMenu(tr("Open &Recent"), &window);
    menu->setObjectName(QStringLiteral("menuOpenRecent"));
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillRecentMenu(menu); });
    fillRecentMenu(menu);
    return menu;
}

// Files that have gone are dropped from the list, with a note.
void LightingFilesController::fillRecentMenu(QMenu *menu)
{
    RecentFiles recent;
    const QStringList missing = recent.dropMissing();
    if (!missing.isEmpty()) {
        QStringList names;
        for (const QString &file : missing)
            names.append(QFileInfo(file).fileName());
        window.statusBar()->showMessage(
            tr("No longer found, removed from Open Recent: %1").arg(names.join(QLatin1String(", "))), FailureMessageMs);
    }
    menu->clear();
    const QStringList files = recent.files();
    for (int n = 0; n < files.size(); ++n) {
        const QString file = files.at(n);
        QAction *action = menu->addAction(
            QStringLiteral("&%1 %2").arg(n + 1).arg(QFileInfo(file).fileName().replace(QLatin1Char('&'), "&&")));
        action->setToolTip(QDir::toNativeSeparators(file));
        action->setStatusTip(QDir::toNativeSeparators(file));
        connect(action, &QAction::triggered, this, [this, file] { open(file); });
    }
    if (files.isEmpty())
        menu->addAction(tr("No recent files"))->setEnabled(false);
}
