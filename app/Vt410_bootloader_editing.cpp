// Editing comfort on the Programs and Scenes tabs: an overview of every scene
// under the command buttons, the tool bar with the table commands and the
// scene clipboard (copy, cut, paste, blackout).
#include "app/Vt410_bootloader.h"

#include "app/TextFieldShortcuts.h"
#include "lighting/LightingDocument.h"
#include "lighting/SceneClip.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

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

// The records the spin boxes select, numbered from 0.
int selectedProgram(const Ui::Vt410_bootloaderClass &ui)
{
    return qBound(0, ui.spinBoxProgramNumber->value() - 1, ProgramCount - 1);
}

int selectedProgramScene(const Ui::Vt410_bootloaderClass &ui)
{
    return qBound(0, ui.spinBoxSceneNumber->value() - 1, ScenesPerProgram - 1);
}

int selectedScene(const Ui::Vt410_bootloaderClass &ui)
{
    return qBound(0, ui.spinBoxSceneSceneNumber->value() - 1, StandaloneSceneCount - 1);
}

void readLamps(SceneRecord &record, const QList<SuperRGB *> &lamps)
{
    const int count = qMin(int(lamps.size()), SceneRecord::LampCount);
    for (int n = 0; n < count; ++n) {
        const QColor colour = lamps.at(n)->color();
        record.setLamp(n, quint8(colour.red()), quint8(colour.green()), quint8(colour.blue()));
    }
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
    programOverview->setRecordSource([this](int scene) {
        const int program = selectedProgram(*ui);
        if (scene == ui->spinBoxSceneNumber->value() - 1)
            return programRecordOnDisplay();
        return programs->record(LightingDocument::programIndex(program, qBound(0, scene, ScenesPerProgram - 1)));
    });
    programOverview->setCurrentScene(ui->spinBoxSceneNumber->value() - 1);
    QWidget::setTabOrder(ui->pushButtonSaveProgramsToFile, programOverview);

    sceneOverview = new SceneOverview(StandaloneSceneCount, false, ui->tabScenes);
    sceneOverview->setObjectName(QStringLiteral("sceneOverview"));
    placeUnderButtons(ui->gridLayout_7, ui->verticalSpacer_3, sceneOverview);
    sceneOverview->setRecordSource([this](int scene) {
        if (scene == ui->spinBoxSceneSceneNumber->value() - 1)
            return sceneRecordOnDisplay();
        return scenes->record(qBound(0, scene, StandaloneSceneCount - 1));
    });
    sceneOverview->setCurrentScene(ui->spinBoxSceneSceneNumber->value() - 1);
    QWidget::setTabOrder(ui->pushButtonSaveScenesToFile, sceneOverview);

    // A click or a key selects through the spin box, so the record on display
    // is stored and the new one shown by the same rule as typing the number.
    // These connections come after the window's own, so the overview paints
    // the state that the update slots leave.
    connect(programOverview, &SceneOverview::sceneSelected, ui->spinBoxSceneNumber,
            [this](int scene) { ui->spinBoxSceneNumber->setValue(scene + 1); });
    connect(ui->spinBoxSceneNumber, &QSpinBox::valueChanged, programOverview,
            [this](int value) { programOverview->setCurrentScene(value - 1); });
    for (QSpinBox *box : {ui->spinBoxProgramNumber, ui->spinBoxEndMarker})
        connect(box, &QSpinBox::valueChanged, programOverview, qOverload<>(&QWidget::update));
    connect(sceneOverview, &SceneOverview::sceneSelected, ui->spinBoxSceneSceneNumber,
            [this](int scene) { ui->spinBoxSceneSceneNumber->setValue(scene + 1); });
    connect(ui->spinBoxSceneSceneNumber, &QSpinBox::valueChanged, sceneOverview,
            [this](int value) { sceneOverview->setCurrentScene(value - 1); });
    // The shown column follows every colour change in the lamp editors; the
    // other columns change when a table is read or loaded.
    for (SuperRGB *lamp : std::as_const(programLamps))
        connect(lamp, &SuperRGB::colorChanged, programOverview, qOverload<>(&QWidget::update));
    for (SuperRGB *lamp : std::as_const(sceneLamps))
        connect(lamp, &SuperRGB::colorChanged, sceneOverview, qOverload<>(&QWidget::update));
    for (QPushButton *button : {ui->pushButtonGetProgramsFormVt410, ui->pushButtonLoadProgramsFromFile})
        connect(button, &QPushButton::clicked, programOverview, qOverload<>(&QWidget::update));
    for (QPushButton *button : {ui->pushButtonGetScenesFormVt410, ui->pushButtonLoadScenesFromFile})
        connect(button, &QPushButton::clicked, sceneOverview, qOverload<>(&QWidget::update));

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

    // Inside a text field (lamp values, spin boxes) Copy, Cut and Paste keep
    // their text meaning: the field claims those keys before any window
    // shortcut is looked at (QEvent::ShortcutOverride), and the window claims
    // them for it when a lamp entry field hands the key on to its parent.
    installEventFilter(new TextFieldShortcuts(this));
    const auto onTab = [this](void (Vt410_bootloader::*programsSlot)(bool),
                              void (Vt410_bootloader::*scenesSlot)(bool)) {
        return [this, programsSlot, scenesSlot] {
            if (ui->tabWidget->currentWidget() == ui->tabPrograms) {
                (this->*programsSlot)(false);
                programOverview->update();
            } else if (ui->tabWidget->currentWidget() == ui->tabScenes) {
                (this->*scenesSlot)(false);
                sceneOverview->update();
            }
        };
    };
    connect(actionOpenTable, &QAction::triggered, this,
            onTab(&Vt410_bootloader::slotpushButtonLoadProgramsFromFile,
                  &Vt410_bootloader::slotpushButtonLoadScenesFromFile));
    // Save writes to the shown table's own file without asking when it has
    // one; Save As (and the tabs' buttons) always ask.
    const auto saveShown = [this](bool toCurrentFile) {
        return [this, toCurrentFile] {
            if (LightingDocument *document = shownDocument())
                saveTable(*document, toCurrentFile);
        };
    };
    connect(actionSaveTable, &QAction::triggered, this, saveShown(true));
    connect(actionSaveTableAs, &QAction::triggered, this, saveShown(false));
    ui->menuFile->insertActions(ui->actionClose, {actionOpenTable, actionSaveTable, actionSaveTableAs});
    ui->menuFile->insertSeparator(ui->actionClose);
    ui->actionClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    // The title follows the shown table: its file and whether it has changed.
    for (LightingDocument *document : {programs, scenes}) {
        connect(document, &LightingDocument::modifiedChanged, this, &Vt410_bootloader::updateTitle);
        connect(document, &LightingDocument::fileNameChanged, this, &Vt410_bootloader::updateTitle);
    }
    for (SuperRGB *lamp : programLamps + sceneLamps)
        connect(lamp, &SuperRGB::colorChanged, this, &Vt410_bootloader::updateTitle);
    for (QSpinBox *box : {ui->spinBoxRiseTime, ui->spinBoxStaticTime, ui->spinBoxEndMarker, ui->spinBoxSceneRiseTime,
                          ui->spinBoxSceneStaticTime})
        connect(box, &QSpinBox::valueChanged, this, &Vt410_bootloader::updateTitle);
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
    updateEditingActions();
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
        entry.action->setEnabled(lightingTab);
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
    actionBlackout->setToolTip(tr("Make all lamps of the shown scene black"));
    for (QAction *action : {actionCopyScene, actionCutScene, actionBlackout})
        action->setEnabled(lightingTab);
    actionPasteScene->setEnabled(lightingTab && !clipboardScene().isEmpty());
}

// The record selected on the tab as the editors show it now; the reserved
// bytes come from the table.
SceneRecord Vt410_bootloader::programRecordOnDisplay() const
{
    SceneRecord record =
        programs->record(LightingDocument::programIndex(selectedProgram(*ui), selectedProgramScene(*ui)));
    record.setRiseTime(ui->spinBoxRiseTime->value());
    record.setStaticTime(ui->spinBoxStaticTime->value());
    record.setEndMarker(quint8(ui->spinBoxEndMarker->value()));
    readLamps(record, programLamps);
    return record;
}

SceneRecord Vt410_bootloader::sceneRecordOnDisplay() const
{
    SceneRecord record = scenes->record(selectedScene(*ui));
    record.setRiseTime(ui->spinBoxSceneRiseTime->value());
    record.setStaticTime(ui->spinBoxSceneStaticTime->value());
    readLamps(record, sceneLamps);
    return record;
}

// The record of the tab shown, programs or (elsewhere) stand-alone scenes.
SceneRecord Vt410_bootloader::shownRecordOnDisplay() const
{
    return ui->tabWidget->currentWidget() == ui->tabPrograms ? programRecordOnDisplay() : sceneRecordOnDisplay();
}

// An edit of the whole record goes straight into the table and is shown, so
// it is kept whatever is selected next.
void Vt410_bootloader::replaceShownRecord(const SceneRecord &record)
{
    if (ui->tabWidget->currentWidget() == ui->tabPrograms) {
        const int program = selectedProgram(*ui);
        const int scene = selectedProgramScene(*ui);
        programs->setRecord(LightingDocument::programIndex(program, scene), record);
        showProgramRecord(program, scene);
        programOverview->update();
    } else if (ui->tabWidget->currentWidget() == ui->tabScenes) {
        const int scene = selectedScene(*ui);
        scenes->setRecord(scene, record);
        showSceneRecord(scene);
        sceneOverview->update();
    }
}

void Vt410_bootloader::copyScene()
{
    SceneClip clip;
    if (ui->tabWidget->currentWidget() == ui->tabPrograms)
        clip = SceneClip::copy(programRecordOnDisplay(), SceneClip::Kind::ProgramScene);
    else if (ui->tabWidget->currentWidget() == ui->tabScenes)
        clip = SceneClip::copy(sceneRecordOnDisplay(), SceneClip::Kind::StandaloneScene);
    if (clip.isEmpty())
        return;
    auto *data = new QMimeData;
    data->setData(QLatin1String(SceneClip::MimeType), clip.toBytes());
    QGuiApplication::clipboard()->setMimeData(data);
    updateEditingActions();
}

void Vt410_bootloader::cutScene()
{
    copyScene();
    SceneRecord record = shownRecordOnDisplay();
    SceneClip::cut(record);
    replaceShownRecord(record);
}

void Vt410_bootloader::pasteScene()
{
    const SceneClip clip = clipboardScene();
    if (clip.isEmpty())
        return;
    SceneRecord record = shownRecordOnDisplay();
    const bool programsTab = ui->tabWidget->currentWidget() == ui->tabPrograms;
    clip.pasteInto(record, programsTab ? SceneClip::Kind::ProgramScene : SceneClip::Kind::StandaloneScene);
    replaceShownRecord(record);
}

void Vt410_bootloader::blackoutScene()
{
    SceneRecord record = shownRecordOnDisplay();
    SceneClip::blackout(record);
    replaceShownRecord(record);
}
