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

// Get: a table that could not be read leaves the table and the tab as they
// were, edits on display included; a new one replaces everything.
bool Vt410_bootloader::readTable(const LightingTransfer::Location &where, void *table)
{
    const LightingTransfer::Status status = LightingTransfer(*usb).read(where, table);
    if (status == LightingTransfer::Status::AcquireFailed) {
        reportUsbTimeout(*questions, this, *usb, ui->txt);
        return false;
    }
    if (status == LightingTransfer::Status::TransferFailed) {
        questions->critical(this, tr("Error"), tr("slotUpdateProgramScene"), QMessageBox::Ok);
        return false;
    }
    return true;
}

// Set: the record selected now is stored (storeShown), whatever was shown
// before, once the device has granted access.
void Vt410_bootloader::writeTable(const LightingTransfer::Location &where, const void *table,
                                  const std::function<void()> &storeShown)
{
    const LightingTransfer::Status status = LightingTransfer(*usb).write(where, table, storeShown);
    if (status == LightingTransfer::Status::AcquireFailed)
        reportUsbTimeout(*questions, this, *usb, ui->txt);
    else if (status == LightingTransfer::Status::TransferFailed)
        questions->critical(this, tr("Error"), tr("WriteExternalFlashToAddress"), QMessageBox::Ok);
}

void Vt410_bootloader::slotpushButtonGetProgramsFromVt410(bool)
{
    if (readTable(LightingTransfer::Programs, programs.data()))
        slotUpdateProgramScene(0);
}

void Vt410_bootloader::slotpushButtonSetProgramsInVt410(bool)
{
    writeTable(LightingTransfer::Programs, programs.data(),
               [this] { storeProgramTab(ui->spinBoxProgramNumber->value() - 1, ui->spinBoxSceneNumber->value() - 1); });
}

void Vt410_bootloader::slotpushButtonGetScenesFromVt410(bool)
{
    if (readTable(LightingTransfer::Scenes, scenes.data()))
        slotUpdateScene(0);
}

void Vt410_bootloader::slotpushButtonSetScenesInVt410(bool)
{
    writeTable(LightingTransfer::Scenes, scenes.data(),
               [this] { storeSceneTab(ui->spinBoxSceneSceneNumber->value() - 1); });
}

// As before sending the table, the record selected now is stored first
// (storeShown), so that the file holds what the tab shows.
void Vt410_bootloader::saveTable(LightingFile::Kind kind, const QString &caption, const QString &filter,
                                 const std::function<QByteArray()> &storedTable)
{
    const QString fileName = questions->saveFileName(this, caption, QStringLiteral("."), filter);
    if (fileName.isNull())
        return;
    QString reason;
    if (LightingFile::save(fileName, kind, storedTable(), &reason) != LightingFile::Status::Ok)
        reportSaveFailure(*questions, this, fileName, reason);
}

// The whole file is checked before the table is touched.
bool Vt410_bootloader::loadTable(LightingFile::Kind kind, const QString &caption, const QString &filter, void *table)
{
    const QString fileName = questions->openFileName(this, caption, QStringLiteral("."), filter);
    if (fileName.isNull())
        return false;
    const LightingFile::ReadResult file = LightingFile::load(fileName, kind);
    if (reportLoadFailure(*questions, this, file.status))
        return false;
    std::memcpy(table, file.table.constData(), size_t(file.table.size()));
    return true;
}

void Vt410_bootloader::slotpushButtonSaveProgramsToFile(bool)
{
    saveTable(LightingFile::Kind::Programs, tr("Save Programs File"), tr("Programs Files (*.pgm)"), [this] {
        storeProgramTab(ui->spinBoxProgramNumber->value() - 1, ui->spinBoxSceneNumber->value() - 1);
        return tableBytes(programs);
    });
}

void Vt410_bootloader::slotpushButtonLoadProgramsFromFile(bool)
{
    if (loadTable(LightingFile::Kind::Programs, tr("Open Programs File"), tr("Programs Files (*.pgm)"),
                  programs.data()))
        slotUpdateProgramScene(0);
}

void Vt410_bootloader::slotpushButtonSaveScenesToFile(bool)
{
    saveTable(LightingFile::Kind::Scenes, tr("Save Scenes File"), tr("Scens Files (*.scn)"), [this] {
        storeSceneTab(ui->spinBoxSceneSceneNumber->value() - 1);
        return tableBytes(scenes);
    });
}

void Vt410_bootloader::slotpushButtonLoadScenesFromFile(bool)
{
    if (loadTable(LightingFile::Kind::Scenes, tr("Open Scenes File"), tr("Scens Files (*.scn)"), scenes.data()))
        slotUpdateScene(0);
}
