// Editing comfort on the Programs and Scenes tabs: an overview of every scene
// under the command buttons, the tool bar with the table commands and the
// scene clipboard (copy, cut, paste, blackout).
#include "app/Vt410_bootloader.h"

#include "app/FirmwareChangeController.h"

#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "app/TextFieldShortcuts.h"
#include "lighting/LightingDocument.h"
#include "lighting/SceneClip.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/SceneOverview.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUndoGroup>
#include <QUndoStack>

namespace {

// Puts the overview where the column's spacer was, the spacer below it.
void placeUnderButtons(QGridLayout *grid, QSpacerItem *spacer, QWidget *overview)
{
    const int index = grid->indexOf(spacer);
    int row = grid->rowCount();
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 2;
    if (index >= 0) {
        grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
        grid->takeAt(index);
    }
    grid->addWidget(overview, row, 0, 1, 2);
    grid->addItem(spacer, row + 1, 0, 1, 2);
}

SceneClip clipboardScene()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data ? SceneClip::fromBytes(data->data(QLatin1String(SceneClip::MimeType))) : SceneClip();
}

QString withShortcut(const QString &text, const QAction *action)
{
    if (action->shortcut().isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, action->shortcut().toString(QKeySequence::NativeText));
}

} // namespace

void Vt410_bootloader::setUpEditing()
{
    programOverview = new SceneOverview(ScenesPerProgram, true, ui->tabPrograms);
    programOverview->setObjectName(QStringLiteral("programOverview"));
    placeUnderButtons(ui->gridLayout_5, ui->verticalSpacer_2, programOverview);
    QWidget::setTabOrder(ui->pushButtonSaveProgramsToFile, programOverview);
    sceneOverview = new SceneOverview(StandaloneSceneCount, false, ui->tabScenes);
    sceneOverview->setObjectName(QStringLiteral("sceneOverview"));
    placeUnderButtons(ui->gridLayout_7, ui->verticalSpacer_3, sceneOverview);
    QWidget::setTabOrder(ui->pushButtonSaveScenesToFile, sceneOverview);

    // The tabs come after the window's own connections to the number spin
    // boxes, so that the overviews paint the state that the update slots leave.
    LightingTabFields programFields;
    programFields.programNumber = ui->spinBoxProgramNumber;
    programFields.sceneNumber = ui->spinBoxSceneNumber;
    programFields.riseTime = ui->spinBoxRiseTime;
    programFields.staticTime = ui->spinBoxStaticTime;
    programFields.endMarker = ui->spinBoxEndMarker;
    programFields.lamps = programLamps;
    programFields.overview = programOverview;
    programTab = new LightingTab(programs, programFields, this);
    LightingTabFields sceneFields;
    sceneFields.sceneNumber = ui->spinBoxSceneSceneNumber;
    sceneFields.riseTime = ui->spinBoxSceneRiseTime;
    sceneFields.staticTime = ui->spinBoxSceneStaticTime;
    sceneFields.lamps = sceneLamps;
    sceneFields.overview = sceneOverview;
    sceneTab = new LightingTab(scenes, sceneFields, this);

    // Their files: saved, loaded, opened from outside, remembered.
    files =
        new LightingFilesController(*this, *programTab, *sceneTab, *ui->tabWidget, *ui->tabPrograms, *ui->tabScenes);
    files->setQuestions(questions.get());
    connect(files, &LightingFilesController::fileChanged, this, &Vt410_bootloader::updateTitle);
    connect(files, &LightingFilesController::upgradeFileDropped, this, &Vt410_bootloader::offerFirmwareChange);
    setAcceptDrops(true);

    const auto addAction = [this](const char *objectName, const char *icon, QKeySequence::StandardKey key) {
        auto *action = new QAction(QIcon(QStringLiteral(":/res/images/") + QLatin1String(icon)), QString(), this);
        action->setObjectName(QLatin1String(objectName));
        if (key != QKeySequence::UnknownKey)
            action->setShortcuts(key);
        ui->mainToolBar->addAction(action);
        return action;
    };
    ui->mainToolBar->setWindowTitle(tr("Editing"));
    actionOpenTable = addAction("actionOpenTable", "open.png", QKeySequence::Open);
    actionSaveTable = addAction("actionSaveTable", "save.png", QKeySequence::Save);
    actionSaveTableAs = new QAction(this);
    actionSaveTableAs->setObjectName(QStringLiteral("actionSaveTableAs"));
    actionSaveTableAs->setShortcuts(QKeySequence::SaveAs);
    actionReadTable = addAction("actionReadTable", "read.png", QKeySequence::UnknownKey);
    actionWriteTable = addAction("actionWriteTable", "write.png", QKeySequence::UnknownKey);
    ui->mainToolBar->addSeparator();
    actionCopyScene = addAction("actionCopyScene", "copy.png", QKeySequence::Copy);
    actionCutScene = addAction("actionCutScene", "cut.png", QKeySequence::Cut);
    actionPasteScene = addAction("actionPasteScene", "paste.png", QKeySequence::Paste);
    actionBlackout = addAction("actionBlackout", "blackout.png", QKeySequence::UnknownKey);
    // Reading replaces the table (with a question and an undo step); writing
    // takes Shift as well, so that the common close key never sends a table.
    actionReadTable->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    actionWriteTable->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    actionBlackout->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));

    // Inside a text field (lamp values, spin boxes) Copy, Cut and Paste keep
    // their text meaning: the field claims those keys before any window
    // shortcut is looked at (QEvent::ShortcutOverride), and the window claims
    // them for it when a lamp entry field hands the key on to its parent.
    installEventFilter(new TextFieldShortcuts(this));
    const auto onTab = [this](void (Vt410_bootloader::*programsSlot)(bool),
                              void (Vt410_bootloader::*scenesSlot)(bool)) {
        return [this, programsSlot, scenesSlot] {
            if (ui->tabWidget->currentWidget() == ui->tabPrograms)
                (this->*programsSlot)(false);
            else if (ui->tabWidget->currentWidget() == ui->tabScenes)
                (this->*scenesSlot)(false);
        };
    };
    connect(actionOpenTable, &QAction::triggered, this,
            onTab(&Vt410_bootloader::slotpushButtonLoadProgramsFromFile,
                  &Vt410_bootloader::slotpushButtonLoadScenesFromFile));
    // Save writes to the shown table's own file without asking when it has
    // one; Save As (and the tabs' buttons) always ask.
    const auto saveShown = [this](bool toCurrentFile) {
        return [this, toCurrentFile] {
            if (LightingTab *tab = shownTab())
                files->save(*tab, toCurrentFile);
        };
    };
    connect(actionSaveTable, &QAction::triggered, this, saveShown(true));
    connect(actionSaveTableAs, &QAction::triggered, this, saveShown(false));
    ui->menuFile->insertActions(ui->actionClose, {actionOpenTable, actionSaveTable, actionSaveTableAs});
    ui->menuFile->insertMenu(actionSaveTable, files->makeRecentMenu());
    ui->menuFile->insertSeparator(ui->actionClose);
    ui->menuFile->insertActions(ui->actionClose, {actionReadTable, actionWriteTable});
    ui->menuFile->insertSeparator(ui->actionClose);
    ui->actionClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // The title follows the shown table: its file and whether it has changed.
    for (LightingDocument *document : {programs, scenes}) {
        connect(document, &LightingDocument::modifiedChanged, this, &Vt410_bootloader::updateTitle);
        connect(document, &LightingDocument::fileNameChanged, this, &Vt410_bootloader::updateTitle);
    }
    for (LightingTab *tab : {programTab, sceneTab})
        connect(tab, &LightingTab::displayChanged, this, &Vt410_bootloader::updateTitle);
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &Vt410_bootloader::updateTitle);
    connect(actionReadTable, &QAction::triggered, this,
            onTab(&Vt410_bootloader::slotpushButtonGetProgramsFromVt410,
                  &Vt410_bootloader::slotpushButtonGetScenesFromVt410));
    connect(
        actionWriteTable, &QAction::triggered, this,
        onTab(&Vt410_bootloader::slotpushButtonSetProgramsInVt410, &Vt410_bootloader::slotpushButtonSetScenesInVt410));
    connect(actionCopyScene, &QAction::triggered, this, &Vt410_bootloader::copyScene);
    connect(actionCutScene, &QAction::triggered, this, &Vt410_bootloader::cutScene);
    connect(actionPasteScene, &QAction::triggered, this, &Vt410_bootloader::pasteScene);
    connect(actionBlackout, &QAction::triggered, this, &Vt410_bootloader::blackoutScene);

    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &Vt410_bootloader::updateEditingActions);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &Vt410_bootloader::updateEditingActions);
    setUpEditMenu();
    updateEditingActions();
}

// Undo and redo of the shown tab's edits, and the scene clipboard.
void Vt410_bootloader::setUpEditMenu()
{
    undoGroup = new QUndoGroup(this);
    for (LightingTab *tab : {programTab, sceneTab})
        undoGroup->addStack(tab->undoStack());
    QAction *undo = undoGroup->createUndoAction(this, tr("Undo"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = undoGroup->createRedoAction(this, tr("Redo"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    auto *menu = new QMenu(tr("&Edit"), this);
    menu->setObjectName(QStringLiteral("menuEdit"));
    menu->addActions({undo, redo});
    menu->addSeparator();
    menu->addActions({actionCopyScene, actionCutScene, actionPasteScene, actionBlackout});
    ui->menuBar->insertMenu(ui->menuLanguage->menuAction(), menu);
    // Alt and the marked letter open each menu.
    ui->menuFile->setTitle(tr("&File"));
    ui->menuLanguage->setTitle(tr("&Language"));
    ui->menuHelp->setTitle(tr("&Help"));
    connect(ui->tabWidget, &QTabWidget::currentChanged, undoGroup,
            [this] { undoGroup->setActiveStack(shownTab() ? shownTab()->undoStack() : nullptr); });
}

// The tool bar serves the tab shown; on the Settings tab it has nothing to do.
void Vt410_bootloader::updateEditingActions()
{
    const bool programsTab = ui->tabWidget->currentWidget() == ui->tabPrograms;
    const bool lightingTab = programsTab || ui->tabWidget->currentWidget() == ui->tabScenes;
    const struct {
        QAction *action;
        QPushButton *programsButton;
        QPushButton *scenesButton;
    } tableActions[] = {
        {actionOpenTable, ui->pushButtonLoadProgramsFromFile, ui->pushButtonLoadScenesFromFile},
        {actionSaveTable, ui->pushButtonSaveProgramsToFile, ui->pushButtonSaveScenesToFile},
        {actionReadTable, ui->pushButtonGetProgramsFormVt410, ui->pushButtonGetScenesFormVt410},
        {actionWriteTable, ui->pushButtonSetProgramsInVt410, ui->pushButtonSetScenesInVt410},
    };
    for (const auto &entry : tableActions) {
        // The buttons' own captions name what the action does on this tab.
        const QString text = (programsTab ? entry.programsButton : entry.scenesButton)->text();
        entry.action->setText(text);
        entry.action->setToolTip(withShortcut(text, entry.action));
        // Read and Write reach the unit: not while a firmware change runs.
        const bool toUnit = entry.action == actionReadTable || entry.action == actionWriteTable;
        entry.action->setEnabled(lightingTab && !(toUnit && firmwareChange->isChanging()));
    }

    actionSaveTableAs->setEnabled(lightingTab);
    actionSaveTableAs->setText(tr("Save As..."));
    actionSaveTableAs->setToolTip(withShortcut(tr("Save the shown table to another file"), actionSaveTableAs));

    actionCopyScene->setText(tr("Copy Scene"));
    actionCopyScene->setToolTip(
        withShortcut(tr("Copy the shown scene: lamps, XFade, Scene Time and End Marker"), actionCopyScene));
    actionCutScene->setText(tr("Cut Scene"));
    actionCutScene->setToolTip(
        withShortcut(tr("Copy the shown scene, then make its lamps black and its times zero"), actionCutScene));
    actionPasteScene->setText(tr("Paste Scene"));
    actionPasteScene->setToolTip(withShortcut(tr("Put the copied scene into the shown scene"), actionPasteScene));
    actionBlackout->setText(tr("Blackout"));
    actionBlackout->setToolTip(withShortcut(tr("Make all lamps of the shown scene black"), actionBlackout));
    for (QAction *action : {actionCopyScene, actionCutScene, actionBlackout})
        action->setEnabled(lightingTab);
    actionPasteScene->setEnabled(lightingTab && !clipboardScene().isEmpty());
}

void Vt410_bootloader::copyScene()
{
    LightingTab *tab = shownTab();
    if (!tab)
        return;
    const SceneClip clip = SceneClip::copy(tab->recordOnDisplay(), tab->document().clipKind());
    auto *data = new QMimeData;
    data->setData(QLatin1String(SceneClip::MimeType), clip.toBytes());
    QGuiApplication::clipboard()->setMimeData(data);
    updateEditingActions();
    showResult(tr("Scene %1 copied").arg(tab->selectedSceneNumber()));
}

void Vt410_bootloader::cutScene()
{
    LightingTab *tab = shownTab();
    if (!tab)
        return;
    copyScene();
    SceneRecord record = tab->recordOnDisplay();
    SceneClip::cut(record);
    tab->replaceSelectedRecord(record, tr("Cut"));
    showResult(tr("Scene %1 cut").arg(tab->selectedSceneNumber()));
}

void Vt410_bootloader::pasteScene()
{
    LightingTab *tab = shownTab();
    const SceneClip clip = clipboardScene();
    if (!tab || clip.isEmpty())
        return;
    SceneRecord record = tab->recordOnDisplay();
    clip.pasteInto(record, tab->document().clipKind());
    tab->replaceSelectedRecord(record, tr("Paste"));
    showResult(tr("Scene %1 pasted").arg(tab->selectedSceneNumber()));
}

void Vt410_bootloader::blackoutScene()
{
    LightingTab *tab = shownTab();
    if (!tab)
        return;
    SceneRecord record = tab->recordOnDisplay();
    SceneClip::blackout(record);
    tab->replaceSelectedRecord(record, tr("Blackout"));
    showResult(tr("Scene %1 blacked out").arg(tab->selectedSceneNumber()));
}
