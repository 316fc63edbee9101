// Programs and scenes: showing and storing records on the Programs and Scenes
// tabs, moving the tables to and from the device, and the .pgm/.scn files.
#include "app/Vt410_bootloader.h"

#include "app/UserQuestions.h"
#include "app/Version.h"
#include "lighting/LightingDocument.h"
#include "lighting/LightingFile.h"
#include "lighting/LightingTransfer.h"
#include "ui_Vt410_bootloader.h"
#include "usb/USBVT350.h"
#include "widgets/SuperRGB.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QTextEdit>

#include <cstring>

namespace {

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
    const int index = LightingDocument::programIndex(program, scene);
    SceneRecord record = programs->record(index);
    record.setRiseTime(ui->spinBoxRiseTime->value());
    record.setStaticTime(ui->spinBoxStaticTime->value());
    record.setEndMarker(quint8(ui->spinBoxEndMarker->value()));
    storeLamps(record, programLamps);
    programs->setRecord(index, record);
}

void Vt410_bootloader::showProgramRecord(int program, int scene)
{
    if (!isProgramRecord(program, scene))
        return;
    const SceneRecord &record = programs->record(LightingDocument::programIndex(program, scene));
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
    SceneRecord record = scenes->record(scene);
    record.setRiseTime(ui->spinBoxSceneRiseTime->value());
    record.setStaticTime(ui->spinBoxSceneStaticTime->value());
    storeLamps(record, sceneLamps);
    scenes->setRecord(scene, record);
}

void Vt410_bootloader::showSceneRecord(int scene)
{
    if (!isStandaloneScene(scene))
        return;
    const SceneRecord &record = scenes->record(scene);
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

// The record selected on the document's tab goes into the document.
void Vt410_bootloader::storeShownRecord(LightingDocument &document)
{
    if (&document == programs)
        storeProgramTab(ui->spinBoxProgramNumber->value() - 1, ui->spinBoxSceneNumber->value() - 1);
    else
        storeSceneTab(ui->spinBoxSceneSceneNumber->value() - 1);
}

// Looked at without storing: the table keeps its own rule of when the edits
// on display reach it.
bool Vt410_bootloader::isModifiedOnDisplay(LightingDocument &document)
{
    if (document.isModified())
        return true;
    const SceneRecord shown = &document == programs ? programRecordOnDisplay() : sceneRecordOnDisplay();
    const int index = &document == programs ? LightingDocument::programIndex(ui->spinBoxProgramNumber->value() - 1,
                                                                             ui->spinBoxSceneNumber->value() - 1)
                                            : ui->spinBoxSceneSceneNumber->value() - 1;
    QByteArray table = document.cleanTable();
    return table.mid(index * SceneRecord::Size, SceneRecord::Size)
           != QByteArray(reinterpret_cast<const char *>(shown.bytes), SceneRecord::Size);
}

LightingDocument *Vt410_bootloader::shownDocument() const
{
    if (ui->tabWidget->currentWidget() == ui->tabPrograms)
        return programs;
    if (ui->tabWidget->currentWidget() == ui->tabScenes)
        return scenes;
    return nullptr;
}

void Vt410_bootloader::updateTitle()
{
    QString title = tr("Vt520 ver. ") + QLatin1String(Vt520VersionText);
    if (LightingDocument *document = shownDocument()) {
        const QString name =
            document->fileName().isEmpty() ? tr("untitled") : QFileInfo(document->fileName()).fileName();
        title += QStringLiteral(" - ") + name + (isModifiedOnDisplay(*document) ? QStringLiteral("*") : QString());
    }
    if (windowTitle() != title)
        setWindowTitle(title);
}

bool Vt410_bootloader::maybeSave(LightingDocument &document)
{
    if (!isModifiedOnDisplay(document))
        return true;
    const QString text = &document == programs ? tr("The programs have been changed since they were last saved, "
                                                    "read or written.\nSave the changes?")
                                               : tr("The scenes have been changed since they were last saved, "
                                                    "read or written.\nSave the changes?");
    switch (questions->warning(this, tr("Unsaved changes"), text,
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save)) {
    case QMessageBox::Save:
        return saveTable(document, true);
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

// Get: a table that could not be read leaves the table and the tab as they
// were, edits on display included; a new one replaces everything.
bool Vt410_bootloader::readTable(LightingDocument &document)
{
    if (!maybeSave(document))
        return false;
    QByteArray table(document.location().length, '\0');
    const LightingTransfer::Status status = LightingTransfer(*usb).read(document.location(), table.data());
    if (status == LightingTransfer::Status::AcquireFailed) {
        reportUsbTimeout(*questions, this, *usb, ui->txt);
        return false;
    }
    if (status == LightingTransfer::Status::TransferFailed) {
        questions->critical(this, tr("Error"), tr("slotUpdateProgramScene"), QMessageBox::Ok);
        return false;
    }
    document.setTable(table);
    document.setClean();
    return true;
}

// Set: the record selected now is stored (storeShown), whatever was shown
// before, once the device has granted access; a table written whole is the
// clean point.
void Vt410_bootloader::writeTable(LightingDocument &document, const std::function<void()> &storeShown)
{
    const LightingTransfer::Status status =
        LightingTransfer(*usb).write(document.location(), document.constData(), storeShown);
    if (status == LightingTransfer::Status::AcquireFailed)
        reportUsbTimeout(*questions, this, *usb, ui->txt);
    else if (status == LightingTransfer::Status::TransferFailed)
        questions->critical(this, tr("Error"), tr("WriteExternalFlashToAddress"), QMessageBox::Ok);
    else
        document.setClean();
    updateTitle();
}

void Vt410_bootloader::slotpushButtonGetProgramsFromVt410(bool)
{
    if (readTable(*programs))
        slotUpdateProgramScene(0);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonSetProgramsInVt410(bool)
{
    writeTable(*programs,
               [this] { storeProgramTab(ui->spinBoxProgramNumber->value() - 1, ui->spinBoxSceneNumber->value() - 1); });
}

void Vt410_bootloader::slotpushButtonGetScenesFromVt410(bool)
{
    if (readTable(*scenes))
        slotUpdateScene(0);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonSetScenesInVt410(bool)
{
    writeTable(*scenes, [this] { storeSceneTab(ui->spinBoxSceneSceneNumber->value() - 1); });
}

// As before sending the table, the record selected now is stored first, so
// that the file holds what the tab shows.
bool Vt410_bootloader::saveTable(LightingDocument &document, bool toCurrentFile)
{
    const bool programsDocument = &document == programs;
    QString fileName = toCurrentFile ? document.fileName() : QString();
    if (fileName.isEmpty()) {
        fileName = questions->saveFileName(this, programsDocument ? tr("Save Programs File") : tr("Save Scenes File"),
                                           QStringLiteral("."),
                                           programsDocument ? tr("Programs Files (*.pgm)") : tr("Scens Files (*.scn)"));
        if (fileName.isNull())
            return false;
        // The open dialog's filter would hide a file without its extension.
        if (QFileInfo(fileName).suffix().isEmpty())
            fileName += QLatin1Char('.') + document.fileSuffix();
    }
    storeShownRecord(document);
    QString reason;
    if (LightingFile::save(fileName, document.kind(), document.table(), &reason) != LightingFile::Status::Ok) {
        reportSaveFailure(*questions, this, fileName, reason);
        return false;
    }
    document.setFileName(fileName);
    document.setClean();
    updateTitle();
    return true;
}

// The whole file is checked before the table is touched.
bool Vt410_bootloader::loadTable(LightingDocument &document)
{
    if (!maybeSave(document))
        return false;
    const bool programsDocument = &document == programs;
    const QString fileName = questions->openFileName(
        this, programsDocument ? tr("Open Programs File") : tr("Open Scenes File"), QStringLiteral("."),
        programsDocument ? tr("Programs Files (*.pgm)") : tr("Scens Files (*.scn)"));
    if (fileName.isNull())
        return false;
    const LightingFile::ReadResult file = LightingFile::load(fileName, document.kind());
    if (reportLoadFailure(*questions, this, file.status))
        return false;
    document.setTable(file.table);
    document.setFileName(fileName);
    document.setClean();
    return true;
}

void Vt410_bootloader::slotpushButtonSaveProgramsToFile(bool)
{
    saveTable(*programs, false);
}

void Vt410_bootloader::slotpushButtonLoadProgramsFromFile(bool)
{
    if (loadTable(*programs))
        slotUpdateProgramScene(0);
    updateTitle();
}

void Vt410_bootloader::slotpushButtonSaveScenesToFile(bool)
{
    saveTable(*scenes, false);
}

void Vt410_bootloader::slotpushButtonLoadScenesFromFile(bool)
{
    if (loadTable(*scenes))
        slotUpdateScene(0);
    updateTitle();
}
