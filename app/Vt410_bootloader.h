#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>

#include "lighting/SceneTables.h"

namespace Ui {
class Vt410_bootloaderClass;
}

class ArthurStyle;
class Clock;
class EditingActions;
class ExtFlashBars;
class FirmwareChangeController;
class LightingDocument;
class LightingFilesController;
class LightingTab;
struct Failure;
class LogPane;
struct HexToBinResult;
class QActionGroup;
class QDragEnterEvent;
class QDropEvent;
class QHBoxLayout;
class QLabel;
class QMenu;
class SceneOverview;
class SuperRGB;
class UnitLock;
class UserQuestions;
class Upgrader;
class USBVT350;
class Vt520Monitor;
struct WindowWork;

// The one main window: owns the device object, the firmware upgrade worker,
// the form, the style, the 24 lamp editors and the programs and scenes tables.
// Every user command is one of its slots.
class Vt410_bootloader : public QMainWindow
{
    Q_OBJECT

public:
    explicit Vt410_bootloader(QWidget *parent = nullptr);
    ~Vt410_bootloader() override;

    // Replaces the object through which the window asks the user questions.
    void setQuestions(std::unique_ptr<UserQuestions> questions);

    // The operator's work, for the window built after a language switch:
    // work() first stores the edits on display; resumeWork() shows it.
    WindowWork work();
    void resumeWork(const WindowWork &work);

    // Marks the language of the catalogue in use ("pl", "en"; empty for
    // the built-in English texts) in the Language menu.
    void showLanguage(const QString &language);

    // Opens a programs or scenes file into its tab, the kind told by the
    // file's header; asks first when edits would be lost. False when the
    // file was refused or the question cancelled.
    bool openFile(const QString &fileName);
    // Files named on the command line (a file manager opening them in the
    // window) go where a drop of them goes: an upgrade file is offered for a
    // firmware change, any other file is opened.
    void openFiles(const QStringList &fileNames);

    // The port path of the unit that device commands go to; empty while
    // none is chosen.
    QString chosenUnit() const { return chosenPort; }

    // The clock the firmware change waits on and measures its patience with
    // (see Upgrader); set while no change runs. Tests pass the emulator's.
    void setFirmwareChangeClock(Clock *clock);

public slots:
    void slotpushButtonConnect(bool t);
    void slotpushButtonDisconnect(bool t);
    void slotpushButtonRead(bool t);
    void slotpushButtonWrite(bool t);
    void slotpushButtonWritePage(bool t);
    void slotpushButtonWriteExtFlashBin(bool t);
    void slotpushButtonRunApplication(bool t);
    void slotpushButtonWriteExternalFlash(bool t);
    void slotpushButtonReadExternalFlash(bool t);
    void slotpushButtonCreateUpg(bool t);
    void slotpushButtonCreateBootBin(bool t);
    void slotpushButtonStatusGet(bool t);
    void slotpushButtonStatusSet(bool t);
    void slotpushButtonStatusClr(bool t);
    void slotpushButtonCHF(bool t);
    void slotUpdateProgramScene(int value);
    void slotpushButtonGetProgramsFromVt410(bool t);
    void slotpushButtonSetProgramsInVt410(bool t);
    void slotUpdateScene(int value);
    void slotpushButtonGetScenesFromVt410(bool t);
    void slotpushButtonSetScenesInVt410(bool t);
    void slotpushButtonLoadScenesFromFile(bool t);
    void slotpushButtonLoadProgramsFromFile(bool t);
    void slotpushButtonSaveScenesToFile(bool t);
    void slotpushButtonSaveProgramsToFile(bool t);
    void slotShowInfo(bool t);
    void slotTabChange(int index);
    void slotPolish(bool t);
    void slotEnglish(bool t);
    // Closes the window as a close would, without a question: during a
    // firmware change, once the change has ended.
    void requestQuit();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void addLampEditors(QList<SuperRGB *> &lamps, QHBoxLayout *layout);
    void nameForAssistiveTechnology();

    // Firmware commands: the error boxes they share.
    void reportRefusedHexFile(const QString &fileName, const HexToBinResult &result);
    void reportFileWriteError(const QString &fileName);
    // The change the button starts, with the upgrade file already chosen.
    void startFirmwareChange(const QString &fileName);
    // A dropped upgrade file: asks, then changes the firmware with it.
    void offerFirmwareChange(const QString &fileName);
    // What the window keeps in step with a change: the tool bar's device
    // actions and the Device menu; the controller does the rest.
    void showChangeRunning(bool running);
    FirmwareChangeController *firmwareChange = nullptr;

    // The unit the device commands go to, chosen by the operator in the
    // Device menu, when asked, or alone on the bus. A chosen unit that goes
    // away stays chosen (shown as gone) until the operator chooses another.
    void setUpDeviceMenu();
    void followUnits();
    void rebuildDeviceMenu();
    void updateUnitField();
    void chooseUnit(const QString &portPath);
    bool chosenUnitAttached() const;
    // Before a device command: refused (with the reason shown) while a
    // change runs; asks for the unit when several are attached and none is
    // chosen. False when nothing may be sent.
    bool prepareDeviceCommand();
    // Takes the chosen unit for one device command, so that no other
    // program drives it meanwhile. False, with the holder or the reason
    // shown, when it is not to be had; nothing may be sent then.
    bool holdChosenUnit(std::unique_ptr<UnitLock> &lock);
    // Both, for the commands that need nothing from the operator between.
    bool beginDeviceCommand(std::unique_ptr<UnitLock> &lock);
    void refuseDeviceCommand(const QString &text);
    QString chosenPort;
    QMenu *deviceMenu = nullptr;
    QActionGroup *deviceGroup = nullptr;
    QLabel *unitField = nullptr;

    // The log pane: the firmware change's lines go in through it.
    LogPane *log = nullptr;

    // Programs and scenes: the commands that both tabs share.
    bool readTable(LightingTab &tab);
    void writeTable(LightingTab &tab);
    // Results in words in the status bar for a few seconds; failures longer.
    void showResult(const QString &text);
    // failure: why the command failed, for the words of a unit found busy.
    void showFailure(const QString &text, const Failure &failure);
    // The program's name and version, and on a lighting tab its file, marked
    // while modified (setWindowFilePath, setWindowModified).
    void updateTitle();

    // The lighting tabs: scene overviews, the tabs, their files and the
    // editing actions (tool bar, menus, scene clipboard).
    void setUpEditing();
    SceneOverview *programOverview = nullptr;
    SceneOverview *sceneOverview = nullptr;
    EditingActions *editing = nullptr;

    USBVT350 *usb = nullptr;
    Vt520Monitor *unitMonitor = nullptr;
    Upgrader *upgrader = nullptr;
    Ui::Vt410_bootloaderClass *ui = nullptr;
    ArthurStyle *style = nullptr;
    QList<SuperRGB *> programLamps;
    QList<SuperRGB *> sceneLamps;
    // The two tables the operator edits and the tabs that show them,
    // children of the window.
    LightingDocument *programs = nullptr;
    LightingDocument *scenes = nullptr;
    LightingTab *programTab = nullptr;
    LightingTab *sceneTab = nullptr;
    LightingFilesController *files = nullptr;

    std::unique_ptr<UserQuestions> questions;
    // The Settings tab's external flash bars, following while it is shown.
    ExtFlashBars *extFlashBars = nullptr;
};
