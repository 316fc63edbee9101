#include "app/EditingActions.h"

#include "app/LampGroupEditing.h"
#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "app/SceneListActions.h"
#include "app/StatusMessageTimes.h"
#include "app/TextFieldShortcuts.h"
#include "lighting/LightingDocument.h"
#include "lighting/SceneClip.h"
#include "ui_Vt410_bootloader.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUndoGroup>
#include <QUndoStack>

namespace {

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

EditingActions::EditingActions(QMainWindow &window, Ui::Vt410_bootloaderClass &ui, LightingTab &programTab,
                               LightingTab &sceneTab, LightingFilesController &files)
    : QObject(&window)
    , window(window)
    , ui(ui)
    , programTab(programTab)
    , sceneTab(sceneTab)
    , files(files)
{
    const auto addAction = [this](const char *objectName, const char *icon, QKeySequence::StandardKey key) {
        auto *action =
            new QAction(QIcon(QStringLiteral(":/res/images/") + QLatin1String(icon)), QString(), &this->window);
        action->setObjectName(QLatin1String(objectName));
        if (key != QKeySequence::UnknownKey)
            action->setShortcuts(key);
        this->ui.mainToolBar->addAction(action);
        return action;
    };
    ui.mainToolBar->setWindowTitle(tr("Editing"));
    openTable = addAction("actionOpenTable", "open.png", QKeySequence::Open);
    saveTable = addAction("actionSaveTable", "save.png", QKeySequence::Save);
    saveTableAs = new QAction(&window);
    saveTableAs->setObjectName(QStringLiteral("actionSaveTableAs"));
    saveTableAs->setShortcuts(QKeySequence::SaveAs);
    // Some platform themes (the toolkit's generic one among them) bind no
    // key to Save As; Ctrl+Shift+S is what users of every platform try.
    if (saveTableAs->shortcuts().isEmpty())
        saveTableAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    readTable = addAction("actionReadTable", "read.png", QKeySequence::UnknownKey);
    writeTable = addAction("actionWriteTable", "write.png", QKeySequence::UnknownKey);
    ui.mainToolBar->addSeparator();
    copy = addAction("actionCopyScene", "copy.png", QKeySequence::Copy);
    cut = addAction("actionCutScene", "cut.png", QKeySequence::Cut);
    paste = addAction("actionPasteScene", "paste.png", QKeySequence::Paste);
    blackout = addAction("actionBlackout", "blackout.png", QKeySequence::UnknownKey);
    // Reading replaces the table (with a question and an undo step); writing
    // takes Shift as well, so that the common close key never sends a table.
    readTable->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    writeTable->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    blackout->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));

    // Inside a text field (lamp values, spin boxes) Copy, Cut and Paste keep
    // their text meaning: the field claims those keys before any window
    // shortcut is looked at (QEvent::ShortcutOverride), and the window claims
    // them for it when a lamp entry field hands the key on to its parent.
    window.installEventFilter(new TextFieldShortcuts(&window));

    // Open, Read and Write do what the shown tab's button does.
    const auto clickOnShownTab = [this](QAbstractButton *programsButton, QAbstractButton *scenesButton) {
        return [this, programsButton, scenesButton] {
            if (LightingTab *tab = shownTab())
                (tab == &this->programTab ? programsButton : scenesButton)->click();
        };
    };
    connect(openTable, &QAction::triggered, this,
            clickOnShownTab(ui.pushButtonLoadProgramsFromFile, ui.pushButtonLoadScenesFromFile));
    connect(readTable, &QAction::triggered, this,
            clickOnShownTab(ui.pushButtonGetProgramsFormVt410, ui.pushButtonGetScenesFormVt410));
    connect(writeTable, &QAction::triggered, this,
            clickOnShownTab(ui.pushButtonSetProgramsInVt410, ui.pushButtonSetScenesInVt410));
    // Save writes to the shown table's own file without asking when it has
    // one; Save As (and the tabs' buttons) always ask.
    const auto saveShown = [this](bool toCurrentFile) {
        return [this, toCurrentFile] {
            if (LightingTab *tab = shownTab())
                this->files.save(*tab, toCurrentFile);
        };
    };
    connect(saveTable, &QAction::triggered, this, saveShown(true));
    connect(saveTableAs, &QAction::triggered, this, saveShown(false));
    connect(copy, &QAction::triggered, this, &EditingActions::copyScene);
    connect(cut, &QAction::triggered, this, &EditingActions::cutScene);
    connect(paste, &QAction::triggered, this, &EditingActions::pasteScene);
    connect(blackout, &QAction::triggered, this, &EditingActions::blackoutScene);

    addToFileMenu();
    addEditMenu();
    connect(ui.tabWidget, &QTabWidget::currentChanged, this, &EditingActions::update);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &EditingActions::update);
    // Values from a file or the unit beyond the editors' ranges are not
    // refused; the user learns once per table what became of them.
    for (LightingTab *tab : {&programTab, &sceneTab}) {
        connect(tab, &LightingTab::valuesClamped, this, [this] {
            this->window.statusBar()->showMessage(
                tr("values out of range were shown as their nearest allowed value; saving writes them"));
        });
    }
    update();
}

void EditingActions::addToFileMenu()
{
    ui.menuFile->insertActions(ui.actionClose, {openTable, saveTable, saveTableAs});
    ui.menuFile->insertMenu(saveTable, files.makeRecentMenu());
    ui.menuFile->insertSeparator(ui.actionClose);
    ui.menuFile->insertActions(ui.actionClose, {readTable, writeTable});
    ui.menuFile->insertSeparator(ui.actionClose);
    ui.actionClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
}

// Undo and redo of the shown tab's edits, and the scene clipboard.
void EditingActions::addEditMenu()
{
    undoGroup = new QUndoGroup(this);
    for (LightingTab *tab : {&programTab, &sceneTab})
        undoGroup->addStack(tab->undoStack());
    QAction *undo = undoGroup->createUndoAction(&window, tr("Undo"));
    undo->setObjectName(QStringLiteral("actionUndo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = undoGroup->createRedoAction(&window, tr("Redo"));
    redo->setObjectName(QStringLiteral("actionRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    auto *menu = new QMenu(tr("&Edit"), &window);
    menu->setObjectName(QStringLiteral("menuEdit"));
    menu->addActions({undo, redo});
    menu->addSeparator();
    menu->addActions({copy, cut, paste, blackout});
    menu->addSeparator();
    sceneList = new SceneListActions(window, {&programTab, &sceneTab}, [this] { return shownTab(); });
    sceneList->addTo(menu);
    menu->addSeparator();
    menu->addMenu(makeSelectionMenu());
    ui.menuBar->insertMenu(ui.menuLanguage->menuAction(), menu);
    // Alt and the marked letter open each menu.
    ui.menuFile->setTitle(tr("&File"));
    ui.menuLanguage->setTitle(tr("&Language"));
    ui.menuHelp->setTitle(tr("&Help"));
    connect(ui.tabWidget, &QTabWidget::currentChanged, undoGroup,
            [this] { undoGroup->setActiveStack(shownTab() ? shownTab()->undoStack() : nullptr); });
}

// Selecting and clearing sliders of every lamp of the shown tab, by
// colour or all three; the lamps' context menu offers the same.
QMenu *EditingActions::makeSelectionMenu()
{
    programLamps = new LampGroupEditing(programTab, this);
    sceneLamps = new LampGroupEditing(sceneTab, this);
    auto *menu = new QMenu(tr("&Select"), &window);
    menu->setObjectName(QStringLiteral("menuSelect"));
    using Group = LampGroupEditing;
    const struct {
        const char *objectName;
        QString text;
        Group::Components components;
        bool state;
    } entries[] = {
        {"actionSelectAllSliders", tr("Select &All Sliders"), Group::AllComponents, true},
        {"actionSelectRedSliders", tr("Select All &Red Sliders"), Group::Red, true},
        {"actionSelectGreenSliders", tr("Select All &Green Sliders"), Group::Green, true},
        {"actionSelectBlueSliders", tr("Select All &Blue Sliders"), Group::Blue, true},
        {"actionSelectNoSliders", tr("Select &None"), Group::AllComponents, false},
        {"actionDeselectRedSliders", tr("&Deselect Red Sliders"), Group::Red, false},
        {"actionDeselectGreenSliders", tr("Deselect Gr&een Sliders"), Group::Green, false},
        {"actionDeselectBlueSliders", tr("Deselect Blue &Sliders"), Group::Blue, false},
    };
    for (const auto &entry : entries) {
        QAction *action = menu->addAction(entry.text);
        action->setObjectName(QLatin1String(entry.objectName));
        connect(action, &QAction::triggered, this, [this, components = entry.components, state = entry.state] {
            if (LampGroupEditing *group = shownLampGroup())
                group->select(components, state);
        });
        selectionActions.append(action);
        if (entry.components == Group::Blue && entry.state)
            menu->addSeparator();
    }
    for (LampGroupEditing *group : {programLamps, sceneLamps})
        group->setSelectionActions(selectionActions);
    return menu;
}

void EditingActions::setQuestions(UserQuestions *questions)
{
    sceneList->setQuestions(questions);
}

LampGroupEditing *EditingActions::shownLampGroup() const
{
    const LightingTab *tab = shownTab();
    if (!tab)
        return nullptr;
    return tab == &programTab ? programLamps : sceneLamps;
}

LightingTab *EditingActions::shownTab() const
{
    if (ui.tabWidget->currentWidget() == ui.tabPrograms)
        return &programTab;
    if (ui.tabWidget->currentWidget() == ui.tabScenes)
        return &sceneTab;
    return nullptr;
}

void EditingActions::setDeviceActionsBlocked(bool blocked)
{
    deviceActionsBlocked = blocked;
    update();
}

// The tool bar serves the tab shown; on the Settings tab it has nothing to do.
void EditingActions::update()
{
    const bool programsTab = ui.tabWidget->currentWidget() == ui.tabPrograms;
    const bool lightingTab = shownTab() != nullptr;
    const struct {
        QAction *action;
        QPushButton *programsButton;
        QPushButton *scenesButton;
    } tableActions[] = {
        {openTable, ui.pushButtonLoadProgramsFromFile, ui.pushButtonLoadScenesFromFile},
        {saveTable, ui.pushButtonSaveProgramsToFile, ui.pushButtonSaveScenesToFile},
        {readTable, ui.pushButtonGetProgramsFormVt410, ui.pushButtonGetScenesFormVt410},
        {writeTable, ui.pushButtonSetProgramsInVt410, ui.pushButtonSetScenesInVt410},
    };
    for (const auto &entry : tableActions) {
        // The buttons' own captions name what the action does on this tab.
        const QString text = (programsTab ? entry.programsButton : entry.scenesButton)->text();
        entry.action->setText(text);
        entry.action->setToolTip(withShortcut(text, entry.action));
        const bool toUnit = entry.action == readTable || entry.action == writeTable;
        entry.action->setEnabled(lightingTab && !(toUnit && deviceActionsBlocked));
    }

    saveTableAs->setEnabled(lightingTab);
    saveTableAs->setText(tr("Save As..."));
    saveTableAs->setToolTip(withShortcut(tr("Save the shown table to another file"), saveTableAs));

    copy->setText(tr("Copy Scene"));
    copy->setToolTip(withShortcut(tr("Copy the shown scene: lamps, XFade, Scene Time and End Marker"), copy));
    cut->setText(tr("Cut Scene"));
    cut->setToolTip(withShortcut(tr("Copy the shown scene, then make its lamps black and its times zero"), cut));
    paste->setText(tr("Paste Scene"));
    paste->setToolTip(withShortcut(tr("Put the copied scene into the shown scene"), paste));
    blackout->setText(tr("Blackout"));
    blackout->setToolTip(withShortcut(tr("Make all lamps of the shown scene black"), blackout));
    for (QAction *action : {copy, cut, blackout})
        action->setEnabled(lightingTab);
    for (QAction *action : std::as_const(selectionActions))
        action->setEnabled(lightingTab);
    sceneList->update();
    paste->setEnabled(lightingTab && !clipboardScene().isEmpty());
}

void EditingActions::showResult(const QString &text)
{
    window.statusBar()->showMessage(text, ResultMessageMs);
}

void EditingActions::copyScene()
{
    LightingTab *tab = shownTab();
    if (!tab)
        return;
    const SceneClip clip = SceneClip::copy(tab->recordOnDisplay(), tab->document().clipKind());
    auto *data = new QMimeData;
    data->setData(QLatin1String(SceneClip::MimeType), clip.toBytes());
    QGuiApplication::clipboard()->setMimeData(data);
    update();
    showResult(tr("Scene %1 copied").arg(tab->selectedSceneNumber()));
}

void EditingActions::cutScene()
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

void EditingActions::pasteScene()
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

void EditingActions::blackoutScene()
{
    LightingTab *tab = shownTab();
    if (!tab)
        return;
    SceneRecord record = tab->recordOnDisplay();
    SceneClip::blackout(record);
    tab->replaceSelectedRecord(record, tr("Blackout"));
    showResult(tr("Scene %1 blacked out").arg(tab->selectedSceneNumber()));
}
