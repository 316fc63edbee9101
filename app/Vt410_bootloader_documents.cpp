// Programs and scenes files from outside the tabs' buttons: given on the
// command line, dropped on the window or picked from Open Recent. The kind
// of a file is told by its header (FileKind), not by its name. A dropped
// upgrade file offers a firmware change.
#include "app/Vt410_bootloader.h"

#include "app/LightingTab.h"
#include "app/RecentFiles.h"
#include "app/UserQuestions.h"
#include "lighting/FileKind.h"
#include "lighting/LightingDocument.h"
#include "lighting/LightingFile.h"
#include "ui_Vt410_bootloader.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

namespace {

QStringList localFiles(const QMimeData *data)
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

} // namespace

bool Vt410_bootloader::openFile(const QString &fileName)
{
    const FileKind::Kind kind = FileKind::of(fileName);
    const bool lighting = kind == FileKind::Kind::Programs || kind == FileKind::Kind::Scenes;
    LightingTab *tab = kind == FileKind::Kind::Scenes ? sceneTab : programTab;
    // Read as programs when it is neither, so that a file that cannot be
    // opened is refused with the system's reason.
    const LightingFile::ReadResult file =
        LightingFile::load(fileName, tab->isPrograms() ? LightingFile::Kind::Programs : LightingFile::Kind::Scenes);
    if (!lighting && file.status != LightingFile::Status::CannotOpen) {
        questions->critical(this, tr("File error"),
                            tr("The file %1 is neither a programs file nor a scenes file; it was not opened.")
                                .arg(QDir::toNativeSeparators(fileName)),
                            QMessageBox::Ok);
        return false;
    }
    if (file.status != LightingFile::Status::Ok) {
        QString text = LightingFile::loadFailureText(file.status);
        if (!file.reason.isEmpty())
            text += QLatin1Char('\n') + file.reason;
        questions->critical(this, tr("File error"), QDir::toNativeSeparators(fileName) + QLatin1Char('\n') + text,
                            QMessageBox::Ok);
        return false;
    }
    ui->tabWidget->setCurrentWidget(tab->isPrograms() ? ui->tabPrograms : ui->tabScenes);
    if (!maybeSave(*tab))
        return false;
    adoptFile(*tab, fileName, file.table);
    tab->showSelected();
    updateTitle();
    return true;
}

void Vt410_bootloader::openFiles(const QStringList &fileNames)
{
    for (const QString &fileName : fileNames)
        openFile(fileName);
}

// File > Open Recent, made anew each time it opens: files that have gone
// are dropped from the list, with a note.
void Vt410_bootloader::fillRecentMenu()
{
    RecentFiles recent;
    const QStringList missing = recent.dropMissing();
    if (!missing.isEmpty()) {
        QStringList names;
        for (const QString &file : missing)
            names.append(QFileInfo(file).fileName());
        statusBar()->showMessage(
            tr("No longer found, removed from Open Recent: %1").arg(names.join(QLatin1String(", "))), FailureMessageMs);
    }
    recentMenu->clear();
    const QStringList files = recent.files();
    for (int n = 0; n < files.size(); ++n) {
        const QString file = files.at(n);
        QAction *action = recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(n + 1).arg(QFileInfo(file).fileName().replace(QLatin1Char('&'), "&&")));
        action->setToolTip(QDir::toNativeSeparators(file));
        action->setStatusTip(QDir::toNativeSeparators(file));
        connect(action, &QAction::triggered, this, [this, file] { openFile(file); });
    }
    if (files.isEmpty())
        recentMenu->addAction(tr("No recent files"))->setEnabled(false);
}

void Vt410_bootloader::setUpOpenRecent(QAction *before)
{
    setAcceptDrops(true);
    recentMenu = new QMenu(tr("Open &Recent"), this);
    recentMenu->setObjectName(QStringLiteral("menuOpenRecent"));
    ui->menuFile->insertMenu(before, recentMenu);
    connect(recentMenu, &QMenu::aboutToShow, this, &Vt410_bootloader::fillRecentMenu);
    fillRecentMenu();
}

void Vt410_bootloader::dragEnterEvent(QDragEnterEvent *event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Vt410_bootloader::dropEvent(QDropEvent *event)
{
    const QStringList files = localFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    for (const QString &file : files) {
        if (FileKind::of(file) == FileKind::Kind::Upgrade)
            offerFirmwareChange(file);
        else
            openFile(file);
    }
}

void Vt410_bootloader::offerFirmwareChange(const QString &fileName)
{
    if (!ui->pushButtonCHF->isEnabled()) {
        statusBar()->showMessage(
            tr("A firmware change is running; %1 was not used.").arg(QFileInfo(fileName).fileName()), FailureMessageMs);
        return;
    }
    const QMessageBox::StandardButton answer =
        questions->message(QMessageBox::Question, this, tr("Firmware Change"),
                           tr("Change the firmware of the Vt520 with %1?\nKeep the Vt520 plugged in until the "
                              "change has ended.")
                               .arg(QDir::toNativeSeparators(fileName)),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        startFirmwareChange(fileName);
}
