// Programs and scenes: the Programs and Scenes tabs' commands, moving the
// tables to and from the device and, through the files controller, the
// .pgm/.scn files.
#include "app/Vt410_bootloader.h"

#include "app/EditingActions.h"
#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "app/StatusMessageTimes.h"
#include "app/UserQuestions.h"
#include "app/Version.h"
#include "firmware/FailureText.h"
#include "lighting/LightingDocument.h"
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

// "Vt520 ver. 1.03", and on a lighting tab " - " and the tab's file, with
// the mark of a modified document while its table differs from the file.
void Vt410_bootloader::updateTitle()
{
    const QString program = tr("Vt520 ver. ") + QLatin1String(Vt520VersionText);
    LightingTab *tab = editing->shownTab();
    if (!tab) {
        setWindowFilePath(QString());
        setWindowModified(false);
        setWindowTitle(program);
        return;
    }
    const QString file = tab->document().fileName();
    const QString name = file.isEmpty() ? tr("untitled") : QFileInfo(file).fileName();
    setWindowFilePath(file);
    // [*] is where the toolkit shows "*" while the window is modified.
    setWindowTitle(program + QStringLiteral(" - ") + name + QStringLiteral("[*]"));
    setWindowModified(tab->isModifiedOnDisplay());
}

// Get: a table that could not be read leaves the table and the tab as they
// were, edits on display included; a new one replaces everything.
bool Vt410_bootloader::readTable(LightingTab &tab)
{
    if (!prepareDeviceCommand() || !files->maybeSave(tab))
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
    files->save(*programTab, false);
}

void Vt410_bootloader::slotpushButtonLoadProgramsFromFile(bool)
{
    if (files->load(*programTab))
        slotUpdateProgramScene(0);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonSaveScenesToFile(bool)
{
    files->save(*sceneTab, false);
}

void Vt410_bootloader::slotpushButtonLoadScenesFromFile(bool)
{
    if (files->load(*sceneTab))
        slotUpdateScene(0);
    updateTitle();
}
