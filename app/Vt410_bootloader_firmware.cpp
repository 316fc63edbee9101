// Firmware commands of the main window: making upgrade files and bootloader
// images from Intel HEX files, and starting a firmware change.
#include "app/Vt410_bootloader.h"

#include "app/EditingActions.h"
#include "app/FirmwareChangeController.h"
#include "app/StatusMessageTimes.h"
#include "app/UserQuestions.h"
#include "firmware/BootloaderImage.h"
#include "firmware/HexFileTexts.h"
#include "firmware/HexToBin.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "firmware/Upgrader.h"
#include "ui_Vt410_bootloader.h"
#include "usb/UnitLock.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QDebug>
#include <QMenu>

void Vt410_bootloader::reportRefusedHexFile(const QString &fileName, const HexToBinResult &result)
{
    // A defect in the records keeps its log line; the box also names the
    // line and the reason.
    const bool defect = isHexRecordDefect(result);
    if (defect)
        ui->txt->append(hexToBinErrorLine(result.code));
    questions->critical(this, defect ? tr("Error") : tr("File error"), refusedHexFileText(fileName, result),
                        QMessageBox::Ok);
}

void Vt410_bootloader::reportFileWriteError(const QString &fileName)
{
    questions->critical(this, tr("File error"), tr("Cannot write file %1").arg(fileName), QMessageBox::Ok);
}

void Vt410_bootloader::slotpushButtonCreateUpg(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonCreateUpg(bool t)";
    ui->txt->clear();

    const QString hexName = questions->openFileName(this, tr("Open File"),
                                                    QStringLiteral("E:\\Projekty\\ARM\\Vt410\\out"), tr("Hex (*.hex)"));
    if (hexName.isEmpty())
        return;

    // Any failure refuses the file: an image of the bytes before a defect
    // would carry a valid sum over a cut firmware.
    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    if (built.hex.code != 0) {
        reportRefusedHexFile(hexName, built.hex);
        return;
    }
    if (built.hex.outsideBytes > 0)
        ui->txt->append(leftOutBytesLine(built.hex.outsideBytes));

    const QString target = questions->saveFileName(this, tr("Save File"), QStringLiteral("."), tr("Upg (*.upg)"));
    if (target.isEmpty())
        return;
    if (!UpgradeFile::write(target, built.image))
        reportFileWriteError(target);
}

void Vt410_bootloader::slotpushButtonCreateBootBin(bool)
{
    ui->txt->append(QStringLiteral("Vt410_bootloader::slotpushButtonCreateBootBin(bool t)"));

    const QString hexName =
        questions->openFileName(this, tr("Open Bootloader File"), QStringLiteral("."), tr("Hex (*.hex)"));
    if (hexName.isEmpty())
        return;
    // Every image of the series comes from the same file: check it once,
    // before any question about the series and before any file is written.
    QByteArray bootloader;
    const HexToBinResult hexResult = BootloaderImage::readHex(hexName, &bootloader);
    if (hexResult.code != 0) {
        reportRefusedHexFile(hexName, hexResult);
        return;
    }

    const QDate today = QDate::currentDate();
    bool ok = false;
    QStringList years;
    for (int year = 0; year <= 99; ++year)
        years << QStringLiteral("%1").arg(year, 2, 10, QLatin1Char('0'));
    const QString year =
        questions->item(this, tr("Production year"), tr("Year(YY)"), years, today.year() % 100, false, &ok);
    if (!ok)
        return;

    QStringList months;
    for (int month = 1; month <= 12; ++month)
        months << QStringLiteral("%1").arg(month, 2, 10, QLatin1Char('0'));
    const QString month =
        questions->item(this, tr("Production mont"), tr("Month(MM)"), months, today.month() - 1, false, &ok);
    if (!ok)
        return;
    const QString prefix = year + month + QStringLiteral("00");

    const int firstNumber = questions->integer(this, tr("Production number"), tr("Number(NNN)"), 1, 1, 999, 1, &ok);
    if (!ok)
        return;
    ui->txt->append(QStringLiteral("prod_number %1").arg(firstNumber));

    // For a first number of 999 this range is empty and the dialog offers 1.
    const int count = questions->integer(this, tr("Iteration"), tr("Count:"), 1, 1, 999 - firstNumber, 1, &ok);
    if (!ok)
        return;
    ui->txt->append(QStringLiteral("iter %1").arg(count));

    const QString failed = BootloaderImage::writeSeries(bootloader, prefix, firstNumber, count, QString(),
                                                        [this](const QString &line) { ui->txt->append(line); });
    if (!failed.isEmpty())
        reportFileWriteError(failed);
}

void Vt410_bootloader::slotpushButtonCHF(bool)
{
    qDebug() << "Vt410_bootloader::slotpushButtonCHF(bool t)";
    if (!upgrader)
        return;
    const QString name = questions->openFileName(this, tr("Open File"), QStringLiteral("."), tr("Upg (*.upg)"));
    startFirmwareChange(name);
}

// The unit is chosen and held for the whole change, its reset and
// re-enumeration included.
void Vt410_bootloader::startFirmwareChange(const QString &name)
{
    std::unique_ptr<UnitLock> lock;
    if (firmwareChange->startNeedsUnit(name) && !beginDeviceCommand(lock))
        return;
    firmwareChange->start(name, std::move(lock));
}

// The choice of unit stays during a change.
void Vt410_bootloader::showChangeRunning(bool running)
{
    editing->setDeviceActionsBlocked(running);
    for (QAction *action : deviceMenu->actions()) {
        if (!action->data().toString().isEmpty())
            action->setEnabled(!running);
    }
}

// A dropped upgrade file: asks, then changes the firmware with it.
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
