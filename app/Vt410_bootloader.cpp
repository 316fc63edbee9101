#include "app/Vt410_bootloader.h"

#include "app/DialogQuestions.h"
#include "app/EditingActions.h"
#include "app/ExtFlashBars.h"
#include "app/FirmwareChangeController.h"
#include "app/Information.h"
#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "app/Version.h"
#include "lighting/LightingDocument.h"
#include "firmware/Upgrader.h"
#include "usb/USBVT350.h"
#include "usb/UnitLock.h"
#include "usb/Vt520Monitor.h"
#include "style/ArthurStyle.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/LogPane.h"
#include "widgets/MenuMnemonics.h"
#include "widgets/SuperRGB.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDebug>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

Vt410_bootloader::Vt410_bootloader(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::Vt410_bootloaderClass)
    , questions(std::make_unique<DialogQuestions>())
{
    ui->setupUi(this);
    setWindowTitle(tr("Vt520 ver. ") + QLatin1String(Vt520VersionText));
    // The style is parented to the window so that it outlives every widget
    // that paints with it: the form's widgets, under which the lamp editors
    // are placed, are children created before it and so destroyed before it.
    style = new ArthurStyle;
    style->setParent(this);
    setStyle(style);

    qDebug() << "MY_DEBUG";

    usb = new USBVT350;

    connect(ui->pushButtonConnect, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonConnect);
    connect(ui->pushButtonDisconnect, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonDisconnect);
    connect(ui->pushButtonRead, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonRead);
    connect(ui->pushButtonWrite, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonWrite);
    connect(ui->pushButtonWritePage, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonWritePage);
    connect(ui->pushButtonWriteExtFlashBin, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonWriteExtFlashBin);
    connect(ui->pushButtonRunApplication, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonRunApplication);
    connect(ui->pushButtonWriteExternalFlash, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonWriteExternalFlash);
    connect(ui->pushButtonReadExternalFlash, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonReadExternalFlash);
    connect(ui->pushButtonCreateUpg, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonCreateUpg);
    connect(ui->pushButtonCreateBootBin, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonCreateBootBin);
    connect(ui->pushButtonStatusGet, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonStatusGet);
    connect(ui->pushButtonStatusSet, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonStatusSet);
    connect(ui->pushButtonStatusClr, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonStatusClr);
    connect(ui->pushButtonCHF, &QPushButton::clicked, this, &Vt410_bootloader::slotpushButtonCHF);
    connect(ui->spinBoxProgramNumber, &QSpinBox::valueChanged, this, &Vt410_bootloader::slotUpdateProgramScene);
    connect(ui->spinBoxSceneNumber, &QSpinBox::valueChanged, this, &Vt410_bootloader::slotUpdateProgramScene);
    connect(ui->pushButtonGetProgramsFormVt410, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonGetProgramsFromVt410);
    connect(ui->pushButtonSetProgramsInVt410, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonSetProgramsInVt410);
    connect(ui->spinBoxSceneSceneNumber, &QSpinBox::valueChanged, this, &Vt410_bootloader::slotUpdateScene);
    connect(ui->pushButtonGetScenesFormVt410, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonGetScenesFromVt410);
    connect(ui->pushButtonSetScenesInVt410, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonSetScenesInVt410);
    connect(ui->pushButtonLoadScenesFromFile, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonLoadScenesFromFile);
    connect(ui->pushButtonLoadProgramsFromFile, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonLoadProgramsFromFile);
    connect(ui->pushButtonSaveScenesToFile, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonSaveScenesToFile);
    connect(ui->pushButtonSaveProgramsToFile, &QPushButton::clicked, this,
            &Vt410_bootloader::slotpushButtonSaveProgramsToFile);
    connect(ui->actionVt410_info, &QAction::triggered, this, &Vt410_bootloader::slotShowInfo);
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &Vt410_bootloader::slotTabChange);
    connect(ui->actionPolish, &QAction::triggered, this, &Vt410_bootloader::slotPolish);
    connect(ui->actionEnglish, &QAction::triggered, this, &Vt410_bootloader::slotEnglish);
    connect(ui->actionClose, &QAction::triggered, this, &QWidget::close);
    // One language is current: the menu marks it.
    auto *languages = new QActionGroup(this);
    for (QAction *action : {ui->actionPolish, ui->actionEnglish}) {
        action->setCheckable(true);
        languages->addAction(action);
    }
    showLanguage(QString());

    // The service buttons stay wired but are not offered to the user.
    for (QPushButton *button :
         {ui->pushButtonConnect, ui->pushButtonDisconnect, ui->pushButtonRead, ui->pushButtonWrite,
          ui->pushButtonWritePage, ui->pushButtonRunApplication, ui->pushButtonReadExternalFlash,
          ui->pushButtonWriteExternalFlash, ui->pushButtonWriteExtFlashBin, ui->pushButtonCreateBootBin,
          ui->pushButtonStatusClr, ui->pushButtonStatusGet, ui->pushButtonStatusSet, ui->pushButtonCreateUpg,
          ui->pushButtonGetDmx}) {
        button->setEnabled(false);
        button->hide();
    }

    ui->spinBoxProgramNumber->setRange(1, ProgramCount);
    ui->spinBoxSceneNumber->setRange(1, ScenesPerProgram);
    ui->spinBoxRiseTime->setRange(0, 100000);
    ui->spinBoxStaticTime->setRange(0, 900000);
    programs = new LightingDocument(LightingDocument::Kind::Programs, this);
    scenes = new LightingDocument(LightingDocument::Kind::Scenes, this);
    addLampEditors(programLamps, ui->horizontalLayout);

    ui->spinBoxSceneSceneNumber->setRange(1, StandaloneSceneCount);
    ui->spinBoxSceneRiseTime->setRange(0, 100000);
    ui->spinBoxSceneStaticTime->setRange(0, 900000);
    addLampEditors(sceneLamps, ui->horizontalLayoutScenes);

    // The window starts on the Settings tab, whose bars follow external flash transfers.
    extFlashBars = new ExtFlashBars(ui->progressBarExtFlashWr, ui->progressBarExtFlashRd, this);
    connect(usb, &USBVT350::sendPercentExtFlashWrite, extFlashBars, &ExtFlashBars::showWritePercent);
    connect(usb, &USBVT350::sendPercentExtFlashRead, extFlashBars, &ExtFlashBars::showReadPercent);

    upgrader = new Upgrader(usb);
    log = new LogPane(ui->txt);
    connect(upgrader, &Upgrader::sendText, log, &LogPane::append);
    connect(upgrader, &Upgrader::sendPercent, ui->progressBarFlash, &QProgressBar::setValue);

    // The firmware change keeps everything that reaches the unit, and the
    // language switch that would rebuild the window, off while it runs.
    firmwareChange = new FirmwareChangeController(*upgrader, *this, *log);
    firmwareChange->setQuestions(questions.get());
    firmwareChange->setChangeButton(ui->pushButtonCHF);
    firmwareChange->setProgressBars({ui->progressBarFlash, ui->progressBarExtFlashWr, ui->progressBarExtFlashRd});
    for (QPushButton *button : {ui->pushButtonGetProgramsFormVt410, ui->pushButtonSetProgramsInVt410,
                                ui->pushButtonGetScenesFormVt410, ui->pushButtonSetScenesInVt410})
        firmwareChange->disableDuringChange(button);
    firmwareChange->disableDuringChange(ui->actionPolish);
    firmwareChange->disableDuringChange(ui->actionEnglish);
    connect(firmwareChange, &FirmwareChangeController::runningChanged, this, &Vt410_bootloader::showChangeRunning);
    connect(firmwareChange, &FirmwareChangeController::runningChanged, extFlashBars, &ExtFlashBars::setChangeRunning);
    // A unit that came or went during the change may be the one meant now.
    connect(firmwareChange, &FirmwareChangeController::changeEnded, this, &Vt410_bootloader::followUnits);

    // Scene overviews, tool bar and scene clipboard of the lighting tabs.
    setUpEditing();
    nameForAssistiveTechnology();

    // The Device menu and the unit field of the status bar.
    setUpDeviceMenu();

    // Every menu entry, also those named after a button or a file, has a
    // letter of its own.
    for (QMenu *menu : findChildren<QMenu *>())
        MenuMnemonics::keepComplete(menu);
}

Vt410_bootloader::~Vt410_bootloader()
{
    // A running firmware change uses usb until it has finished: let it end
    // (it is never cut off in the middle of a page) before usb goes.
    upgrader->wait();
    delete upgrader;
    delete usb;
    delete ui;
}

// Twelve black lamp editors, numbered 0 to 11, painted with the window's
// style down to their last child widget.
void Vt410_bootloader::addLampEditors(QList<SuperRGB *> &lamps, QHBoxLayout *layout)
{
    for (unsigned short number = 0; number < SceneRecord::LampCount; ++number) {
        auto *lamp = new SuperRGB(0, 0, 0, number);
        lamp->setKeyboardReachable(true);
        lamp->setStyle(style);
        for (QWidget *part : lamp->findChildren<QWidget *>())
            part->setStyle(style);
        lamps.append(lamp);
        layout->addWidget(lamp, 0);
    }
}

// Each spin box is labelled by the caption beside it (its name, and the
// "labelled by" relation, for a screen reader; Alt and the caption's marked
// letter, where it has one); the bars and the log pane get names of their own.
void Vt410_bootloader::nameForAssistiveTechnology()
{
    const struct {
        QLabel *label;
        QSpinBox *spinBox;
    } captions[] = {
        {ui->labelProgramNr, ui->spinBoxProgramNumber},  {ui->labelSceneNr, ui->spinBoxSceneNumber},
        {ui->labelRiseTime, ui->spinBoxRiseTime},        {ui->labelStaticTime, ui->spinBoxStaticTime},
        {ui->labelEndMarker, ui->spinBoxEndMarker},      {ui->labelSceneNr_2, ui->spinBoxSceneSceneNumber},
        {ui->labelRiseTime_2, ui->spinBoxSceneRiseTime}, {ui->labelStaticTime_2, ui->spinBoxSceneStaticTime},
    };
    for (const auto &caption : captions) {
        caption.label->setBuddy(caption.spinBox);
        caption.spinBox->setAccessibleName(caption.label->text());
    }
    ui->progressBarFlash->setAccessibleName(tr("Firmware write progress"));
    ui->progressBarExtFlashWr->setAccessibleName(tr("External flash write progress"));
    ui->progressBarExtFlashRd->setAccessibleName(tr("External flash verify progress"));
    ui->txt->setAccessibleName(tr("Log"));
    ui->txt->setAccessibleDescription(tr("What the program did and what the Vt520 answered, newest line last"));
}

void Vt410_bootloader::setQuestions(std::unique_ptr<UserQuestions> newQuestions)
{
    questions = std::move(newQuestions);
    firmwareChange->setQuestions(questions.get());
    files->setQuestions(questions.get());
    editing->setQuestions(questions.get());
}

void Vt410_bootloader::slotTabChange(int index)
{
    if (index == 0)
        extFlashBars->setFollowing(true);
    else if (index == 1 || index == 2)
        extFlashBars->setFollowing(false);
}

void Vt410_bootloader::slotPolish(bool)
{
    qDebug() << "Vt410_bootloader::slotPolish(bool t)";
    QCoreApplication::exit(-11);
}

void Vt410_bootloader::slotEnglish(bool)
{
    qDebug() << "Vt410_bootloader::slotEnglish(bool t)";
    QCoreApplication::exit(-12);
}

void Vt410_bootloader::closeEvent(QCloseEvent *event)
{
    qDebug() << "Vt410_bootloader::closeEvent ( QCloseEvent * event )";
    if (!firmwareChange->mayClose()) {
        event->ignore();
        return;
    }
    // Edits that would be lost are saved, or given up, first. Kept after
    // all, the window no longer waits to close.
    if (!files->maybeSave(*programTab) || !files->maybeSave(*sceneTab)) {
        event->ignore();
        firmwareChange->withdrawCloseRequest();
        return;
    }
    QMainWindow::closeEvent(event);
}

void Vt410_bootloader::showLanguage(const QString &language)
{
    (language.startsWith(QLatin1String("pl")) ? ui->actionPolish : ui->actionEnglish)->setChecked(true);
}

void Vt410_bootloader::requestQuit()
{
    firmwareChange->requestQuit();
}

bool Vt410_bootloader::openFile(const QString &fileName)
{
    return files->open(fileName);
}

void Vt410_bootloader::openFiles(const QStringList &fileNames)
{
    files->drop(fileNames);
}

void Vt410_bootloader::dragEnterEvent(QDragEnterEvent *event)
{
    if (!LightingFilesController::localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void Vt410_bootloader::dropEvent(QDropEvent *event)
{
    const QStringList dropped = LightingFilesController::localFiles(event->mimeData());
    if (dropped.isEmpty())
        return;
    event->acceptProposedAction();
    files->drop(dropped);
}

void Vt410_bootloader::slotShowInfo(bool)
{
    Information info(this);
    info.exec();
}
