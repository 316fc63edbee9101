// Programs and scenes: the Programs and Scenes tabs' commands, moving the
// tables to and from the device and the .pgm/.scn files.
#include "app/Vt410_bootloader.h"

#include "app/LightingTab.h"
#include "app/RecentFiles.h"
#include "app/UserQuestions.h"
#include "app/Version.h"
#include "firmware/FailureText.h"
#include "lighting/LightingDocument.h"
#include "lighting/LightingFile.h"
#include "lighting/LightingTransfer.h"
#include "ui_Vt410_bootloader.h"
#include "usb/USBVT350.h"
#include "usb/UnitLock.h"
#include "usb/Vt520Monitor.h"

#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QTextEdit>

namespace {

// After the box, a device that was there but could not be opened gets the
// hint on the udev rule in the log pane.
void reportUsbTimeout(UserQuestions &questions, QWidget *parent, const Failure &failure, QTextEdit *log)
{
    questions.critical(parent, Vt410_bootloader::tr("Error"), Vt410_bootloader::tr("USB Timeout\nCheck USB Cable"),
                       QMessageBox::Ok);
    if (failure.kind == Failure::Kind::AccessDenied)
        log->append(FailureText::sentence(failure.kind));
}

// " at 1-1.4" for the unit a command used, when it is known: the one open
// now, else the one the commands are pinned to (a release that failed has
// dropped the connection).
QString atPort(USBVT350 &usb)
{
    QString port = usb.connectedPortPath();
    if (port.isEmpty())
        port = usb.pinnedPort();
    return port.isEmpty() ? QString() : Vt410_bootloader::tr(" at %1").arg(port);
}

// Names the file and the system's reason; the old file, if any, is intact.
void reportSaveFailure(UserQuestions &questions, QWidget *parent, const QString &fileName, const QString &reason)
{
    questions.critical(
        parent, Vt410_bootloader::tr("File error"),
        Vt410_bootloader::tr("The file %1 could not be saved.\n%2").arg(QDir::toNativeSeparators(fileName), reason),
        QMessageBox::Ok);
}

// Shows why a loaded file was refused; false when it was accepted.
bool reportLoadFailure(UserQuestions &questions, QWidget *parent, LightingFile::Status status)
{
    if (status == LightingFile::Status::Ok)
        return false;
    questions.critical(parent, Vt410_bootloader::tr("File error"), LightingFile::loadFailureText(status),
                       QMessageBox::Ok);
    return true;
}

// After a Get or Set that may have left the unit's host-access bit set
// (giving it back failed even once the unit was back): the message in the
// status bar gets what clears it beside it, and the log pane the same line.
void reportHostAccess(QStatusBar *bar, QTextEdit *log, int timeoutMs)
{
    const QString note = Vt410_bootloader::tr("The Vt520 may still have its host-access bit set: get or set the "
                                              "table again, or unplug the Vt520 and plug it in again.");
    const QString shown = bar->currentMessage();
    const QString separator =
        shown.isEmpty() || shown.endsWith(QLatin1Char('.')) ? QStringLiteral(" ") : QStringLiteral(". ");
    bar->showMessage((shown + separator + note).trimmed(), timeoutMs);
    log->append(note);
}

} // namespace

void Vt410_bootloader::slotUpdateProgramScene(int)
{
    // Edits on display reach the table when another record is selected.
    programTab->showSelected();
}

void Vt410_bootloader::slotUpdateScene(int)
{
    sceneTab->showSelected();
}

LightingTab *Vt410_bootloader::shownTab() const
{
    if (ui->tabWidget->currentWidget() == ui->tabPrograms)
        return programTab;
    if (ui->tabWidget->currentWidget() == ui->tabScenes)
        return sceneTab;
    return nullptr;
}

void Vt410_bootloader::updateTitle()
{
    QString title = tr("Vt520 ver. ") + QLatin1String(Vt520VersionText);
    if (LightingTab *tab = shownTab()) {
        const QString file = tab->document().fileName();
        const QString name = file.isEmpty() ? tr("untitled") : QFileInfo(file).fileName();
        title += QStringLiteral(" - ") + name + (tab->isModifiedOnDisplay() ? QStringLiteral("*") : QString());
    }
    if (windowTitle() != title)
        setWindowTitle(title);
}

bool Vt410_bootloader::maybeSave(LightingTab &tab)
{
    if (!tab.isModifiedOnDisplay())
        return true;
    const QString text = tab.isPrograms() ? tr("The programs have been changed since they were last saved, "
                                               "read or written.\nSave the changes?")
                                          : tr("The scenes have been changed since they were last saved, "
                                               "read or written.\nSave the changes?");
    switch (questions->warning(this, tr("Unsaved changes"), text,
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
    case QMessageBox::Save:
        return saveTable(tab, true);
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

// Get: a table that could not be read leaves the table and the tab as they
// were, edits on display included; a new one replaces everything.
bool Vt410_bootloader::readTable(LightingTab &tab)
{
    if (!prepareDeviceCommand() || !maybeSave(tab))
        return false;
    std::unique_ptr<UnitLock> hold;
    if (!holdChosenUnit(hold))
        return false;
    LightingDocument &document = tab.document();
    QByteArray table(document.location().length, '\0');
    LightingTransfer transfer(*usb);
    const LightingTransfer::Status status = transfer.read(document.location(), table.data());
    const QString failed = tab.isPrograms() ? tr("Reading the programs from the Vt520 failed; the table is unchanged.")
                                            : tr("Reading the scenes from the Vt520 failed; the table is unchanged.");
    if (status == LightingTransfer::Status::AcquireFailed) {
        reportUsbTimeout(*questions, this, transfer.failure(), ui->txt);
        showFailure(failed, transfer.failure());
    } else if (status == LightingTransfer::Status::TransferFailed) {
        questions->critical(this, tr("Error"), tr("slotUpdateProgramScene"), QMessageBox::Ok);
        showFailure(failed, transfer.failure());
    } else {
        if (table != document.table())
            tab.replaceTable(table, tr("Get from Vt520"));
        document.setClean();
        showResult((tab.isPrograms() ? tr("Programs read from the Vt520%1") : tr("Scenes read from the Vt520%1"))
                       .arg(atPort(*usb)));
    }
    if (transfer.hostAccessMayBeSet())
        reportHostAccess(statusBar(), ui->txt, FailureMessageMs);
    return status == LightingTransfer::Status::Done;
}

// Set: the record selected now is stored, whatever was shown
// before, once the device has granted access; a table written whole is the
// clean point.
void Vt410_bootloader::writeTable(LightingTab &tab)
{
    std::unique_ptr<UnitLock> hold;
    if (!beginDeviceCommand(hold))
        return;
    LightingDocument &document = tab.document();
    LightingTransfer transfer(*usb);
    const LightingTransfer::Status status =
        transfer.write(document.location(), document.constData(), [&tab] { tab.storeSelected(); });
    if (status == LightingTransfer::Status::AcquireFailed) {
        reportUsbTimeout(*questions, this, transfer.failure(), ui->txt);
        showFailure(tr("Writing to the Vt520 failed before anything was sent; the Vt520 is unchanged."),
                    transfer.failure());
    } else if (status == LightingTransfer::Status::TransferFailed) {
        questions->critical(this, tr("Error"), tr("WriteExternalFlashToAddress"), QMessageBox::Ok);
        showFailure(tr("Writing failed; the Vt520 may now hold part of the new table: write again."),
                    transfer.failure());
    } else {
        document.setClean();
        showResult((tab.isPrograms() ? tr("Programs written to the Vt520%1") : tr("Scenes written to the Vt520%1"))
                       .arg(atPort(*usb)));
    }
    if (transfer.hostAccessMayBeSet())
        reportHostAccess(statusBar(), ui->txt, FailureMessageMs);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonGetProgramsFromVt410(bool)
{
    if (readTable(*programTab))
        slotUpdateProgramScene(0);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonSetProgramsInVt410(bool)
{
    writeTable(*programTab);
}

void Vt410_bootloader::slotpushButtonGetScenesFromVt410(bool)
{
    if (readTable(*sceneTab))
        slotUpdateScene(0);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonSetScenesInVt410(bool)
{
    writeTable(*sceneTab);
}

// As before sending the table, the record selected now is stored first, so
// that the file holds what the tab shows.
bool Vt410_bootloader::saveTable(LightingTab &tab, bool toCurrentFile)
{
    LightingDocument &document = tab.document();
    const bool programsDocument = tab.isPrograms();
    QString fileName = toCurrentFile ? document.fileName() : QString();
    if (fileName.isEmpty()) {
        fileName = questions->saveFileName(this, programsDocument ? tr("Save Programs File") : tr("Save Scenes File"),
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
        reportSaveFailure(*questions, this, fileName, reason);
        return false;
    }
    document.setFileName(fileName);
    document.setClean();
    RecentFiles().add(fileName);
    showResult(tr("Saved %1").arg(QFileInfo(fileName).fileName()));
    updateTitle();
    return true;
}

// The whole file is checked before the table is touched.
bool Vt410_bootloader::loadTable(LightingTab &tab)
{
    if (!maybeSave(tab))
        return false;
    LightingDocument &document = tab.document();
    const bool programsDocument = tab.isPrograms();
    const QString fileName =
        questions->openFileName(this, programsDocument ? tr("Open Programs File") : tr("Open Scenes File"),
                                RecentFiles().folderFor(document.fileSuffix()),
                                programsDocument ? tr("Programs Files (*.pgm)") : tr("Scens Files (*.scn)"));
    if (fileName.isNull())
        return false;
    const LightingFile::ReadResult file = LightingFile::load(fileName, document.kind());
    if (reportLoadFailure(*questions, this, file.status))
        return false;
    adoptFile(tab, fileName, file.table);
    return true;
}

// A file read whole and accepted becomes the tab's table (an undo step),
// file and clean point.
void Vt410_bootloader::adoptFile(LightingTab &tab, const QString &fileName, const QByteArray &table)
{
    LightingDocument &document = tab.document();
    if (table != document.table())
        tab.replaceTable(table, tr("Load from File"));
    document.setFileName(fileName);
    document.setClean();
    RecentFiles().add(fileName);
    showResult(tr("Loaded %1").arg(QFileInfo(fileName).fileName()));
}

void Vt410_bootloader::showResult(const QString &text)
{
    statusBar()->showMessage(text, ResultMessageMs);
}

// Beside a fixed box that names a function, what happened in plain words;
// a command that found no unit says so.
void Vt410_bootloader::showFailure(const QString &text, const Failure &failure)
{
    // Listing the units opens none, so it cannot disturb anything.
    if (unitMonitor)
        unitMonitor->refresh();
    const bool noUnit = unitMonitor && unitMonitor->units().isEmpty();
    QString shown = text;
    if (noUnit)
        shown = Vt520Monitor::statusText({});
    else if (!chosenPort.isEmpty() && !chosenUnitAttached())
        shown = tr("No Vt520 attached at %1").arg(chosenPort);
    else if (failure.kind == Failure::Kind::Busy)
        shown = FailureText::sentence(failure.kind);
    statusBar()->showMessage(shown, FailureMessageMs);
}

void Vt410_bootloader::slotpushButtonSaveProgramsToFile(bool)
{
    saveTable(*programTab, false);
}

void Vt410_bootloader::slotpushButtonLoadProgramsFromFile(bool)
{
    if (loadTable(*programTab))
        slotUpdateProgramScene(0);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonSaveScenesToFile(bool)
{
    saveTable(*sceneTab, false);
}

void Vt410_bootloader::slotpushButtonLoadScenesFromFile(bool)
{
    if (loadTable(*sceneTab))
        slotUpdateScene(0);
    updateTitle();
}
