// Programs and scenes: showing and storing records on the Programs and Scenes
// tabs, moving the tables to and from the device, and the .pgm/.scn files.
#include "app/Vt410_bootloader.h"

#include "app/UserQuestions.h"
#include "lighting/LightingFile.h"
#include "lighting/LightingTransfer.h"
#include "ui_Vt410_bootloader.h"
#include "usb/USBVT350.h"
#include "widgets/SuperRGB.h"

#include <QColor>
#include <QDir>
#include <QTextEdit>

#include <cstring>

namespace {

template <typename Table>
QByteArray tableBytes(const Table &table)
{
    return QByteArray(reinterpret_cast<const char *>(table.data()), int(sizeof(Table)));
}

bool isProgramRecord(int program, int scene)
{
    return program >= 0 && program < ProgramCount && scene >= 0 && scene < ScenesPerProgram;
}

bool isStandaloneScene(int scene)
{
    return scene >= 0 && scene < StandaloneSceneCount;
}

void storeLamps(SceneRecord &record, const QList<SuperRGB *> &lamps)
{
    const int count = qMin(int(lamps.size()), SceneRecord::LampCount);
    for (int n = 0; n < count; ++n) {
        const QColor colour = lamps.at(n)->color();
        record.setLamp(n, quint8(colour.red()), quint8(colour.green()), quint8(colour.blue()));
    }
}

void showLamps(const SceneRecord &record, const QList<SuperRGB *> &lamps)
{
    const int count = qMin(int(lamps.size()), SceneRecord::LampCount);
    for (int n = 0; n < count; ++n) {
        SuperRGB *lamp = lamps.at(n);
        lamp->setRedColor(record.red(n));
        lamp->setGreenColor(record.green(n));
        lamp->setBlueColor(record.blue(n));
    }
}

// After the box, a device that was there but could not be opened gets the
// hint on the udev rule in the log pane.
void reportUsbTimeout(UserQuestions &questions, QWidget *parent, USBVT350 &usb, QTextEdit *log)
{
    questions.critical(parent, Vt410_bootloader::tr("Error"), Vt410_bootloader::tr("USB Timeout\nCheck USB Cable"),
                       QMessageBox::Ok);
    if (usb.lastConnectDeniedAccess())
        log->append(UsbDevice::accessDeniedHint());
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

} // namespace

void Vt410_bootloader::storeProgramTab(int program, int scene)
{
    if (!isProgramRecord(program, scene))
        return;
    SceneRecord &record = programRecord(programs, program, scene);
    record.setRiseTime(ui->spinBoxRiseTime->value());
    record.setStaticTime(ui->spinBoxStaticTime->value());
    record.setEndMarker(quint8(ui->spinBoxEndMarker->value()));
    storeLamps(record, programLamps);
}

void Vt410_bootloader::showProgramRecord(int program, int scene)
{
    if (!isProgramRecord(program, scene))
        return;
    const SceneRecord &record = programRecord(programs, program, scene);
    // The spin boxes clamp values beyond their ranges; a later store keeps the clamped value.
    ui->spinBoxRiseTime->setValue(record.riseTime());
    ui->spinBoxStaticTime->setValue(record.staticTime());
    ui->spinBoxEndMarker->setValue(record.endMarker() != 0 ? 1 : 0);
    showLamps(record, programLamps);
}

void Vt410_bootloader::storeSceneTab(int scene)
{
    if (!isStandaloneScene(scene))
        return;
    SceneRecord &record = scenes[size_t(scene)];
    record.setRiseTime(ui->spinBoxSceneRiseTime->value());
    record.setStaticTime(ui->spinBoxSceneStaticTime->value());
    storeLamps(record, sceneLamps);
}

void Vt410_bootloader::showSceneRecord(int scene)
{
    if (!isStandaloneScene(scene))
        return;
    const SceneRecord &record = scenes[size_t(scene)];
    ui->spinBoxSceneRiseTime->setValue(record.riseTime());
    ui->spinBoxSceneStaticTime->setValue(record.staticTime());
    showLamps(record, sceneLamps);
}

void Vt410_bootloader::slotUpdateProgramScene(int)
{
    const int program = ui->spinBoxProgramNumber->value() - 1;
    const int scene = ui->spinBoxSceneNumber->value() - 1;
    // Edits on display reach the table when another record is selected.
    if (shownProgram != -1 && shownProgramScene != -1 && (program != shownProgram || scene != shownProgramScene))
        storeProgramTab(shownProgram, shownProgramScene);
    showProgramRecord(program, scene);
    shownProgram = program;
    shownProgramScene = scene;
}

void Vt410_bootloader::slotUpdateScene(int)
{
    const int scene = ui->spinBoxSceneSceneNumber->value() - 1;
    if (shownScene != -1 && scene != shownScene)
        storeSceneTab(shownScene);
    showSceneRecord(scene);
    shownScene = scene;
}

void Vt410_bootloader::slotpushButtonGetProgramsFromVt410(bool)
{
    const LightingTransfer::Status status = LightingTransfer(*usb).read(LightingTransfer::Programs, programs.data());
    if (status == LightingTransfer::Status::AcquireFailed) {
        reportUsbTimeout(*questions, this, *usb, ui->txt);
        return;
    }
    if (status == LightingTransfer::Status::TransferFailed) {
        // The table is unchanged, and so is the tab, edits on display included.
        questions->critical(this, tr("Error"), tr("slotUpdateProgramScene"), QMessageBox::Ok);
        return;
    }
    // A new table replaces everything, edits on display included.
    slotUpdateProgramScene(0);
}

void Vt410_bootloader::slotpushButtonSetProgramsInVt410(bool)
{
    // The record selected now is stored, whatever was shown before.
    const LightingTransfer::Status status =
        LightingTransfer(*usb).write(LightingTransfer::Programs, programs.data(), [this] {
            storeProgramTab(ui->spinBoxProgramNumber->value() - 1, ui->spinBoxSceneNumber->value() - 1);
        });
    if (status == LightingTransfer::Status::AcquireFailed)
        reportUsbTimeout(*questions, this, *usb, ui->txt);
    else if (status == LightingTransfer::Status::TransferFailed)
        questions->critical(this, tr("Error"), tr("WriteExternalFlashToAddress"), QMessageBox::Ok);
}

void Vt410_bootloader::slotpushButtonGetScenesFromVt410(bool)
{
    const LightingTransfer::Status status = LightingTransfer(*usb).read(LightingTransfer::Scenes, scenes.data());
    if (status == LightingTransfer::Status::AcquireFailed) {
        reportUsbTimeout(*questions, this, *usb, ui->txt);
        return;
    }
    if (status == LightingTransfer::Status::TransferFailed) {
        questions->critical(this, tr("Error"), tr("slotUpdateProgramScene"), QMessageBox::Ok);
        return;
    }
    slotUpdateScene(0);
}

void Vt410_bootloader::slotpushButtonSetScenesInVt410(bool)
{
    const LightingTransfer::Status status = LightingTransfer(*usb).write(
        LightingTransfer::Scenes, scenes.data(), [this] { storeSceneTab(ui->spinBoxSceneSceneNumber->value() - 1); });
    if (status == LightingTransfer::Status::AcquireFailed)
        reportUsbTimeout(*questions, this, *usb, ui->txt);
    else if (status == LightingTransfer::Status::TransferFailed)
        questions->critical(this, tr("Error"), tr("WriteExternalFlashToAddress"), QMessageBox::Ok);
}

// As before sending the table, the record selected now is stored first, so
// that the file holds what the tab shows.
void Vt410_bootloader::slotpushButtonSaveProgramsToFile(bool)
{
    const QString fileName =
        questions->saveFileName(this, tr("Save Programs File"), QStringLiteral("."), tr("Programs Files (*.pgm)"));
    if (fileName.isNull())
        return;
    storeProgramTab(ui->spinBoxProgramNumber->value() - 1, ui->spinBoxSceneNumber->value() - 1);
    QString reason;
    if (LightingFile::save(fileName, LightingFile::Kind::Programs, tableBytes(programs), &reason)
        != LightingFile::Status::Ok)
        reportSaveFailure(*questions, this, fileName, reason);
}

void Vt410_bootloader::slotpushButtonLoadProgramsFromFile(bool)
{
    const QString fileName =
        questions->openFileName(this, tr("Open Programs File"), QStringLiteral("."), tr("Programs Files (*.pgm)"));
    if (fileName.isNull())
        return;
    // The whole file is checked before the table is touched.
    const LightingFile::ReadResult file = LightingFile::load(fileName, LightingFile::Kind::Programs);
    if (reportLoadFailure(*questions, this, file.status))
        return;
    std::memcpy(programs.data(), file.table.constData(), sizeof(programs));
    slotUpdateProgramScene(0);
}

void Vt410_bootloader::slotpushButtonSaveScenesToFile(bool)
{
    const QString fileName =
        questions->saveFileName(this, tr("Save Scenes File"), QStringLiteral("."), tr("Scens Files (*.scn)"));
    if (fileName.isNull())
        return;
    storeSceneTab(ui->spinBoxSceneSceneNumber->value() - 1);
    QString reason;
    if (LightingFile::save(fileName, LightingFile::Kind::Scenes, tableBytes(scenes), &reason)
        != LightingFile::Status::Ok)
        reportSaveFailure(*questions, this, fileName, reason);
}

void Vt410_bootloader::slotpushButtonLoadScenesFromFile(bool)
{
    const QString fileName =
        questions->openFileName(this, tr("Open Scenes File"), QStringLiteral("."), tr("Scens Files (*.scn)"));
    if (fileName.isNull())
        return;
    const LightingFile::ReadResult file = LightingFile::load(fileName, LightingFile::Kind::Scenes);
    if (reportLoadFailure(*questions, this, file.status))
        return;
    std::memcpy(scenes.data(), file.table.constData(), sizeof(scenes));
    slotUpdateScene(0);
}
