#include "FailOnWarnings.h"
#include "LightingTestData.h"
#include "ScriptedQuestions.h"
#include "app/EditingActions.h"
#include "app/LampGroupEditing.h"
#include "app/SceneListActions.h"
#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "lighting/LightingDocument.h"
#include "lighting/SceneClip.h"
#include "lighting/SceneTables.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/ColorSlider.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QStyleOptionSlider>
#include <QUndoStack>
#include <QMainWindow>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList TableActions{"actionOpenTable", "actionSaveTable", "actionReadTable", "actionWriteTable"};
const QStringList AllActions{"actionOpenTable", "actionSaveTable",  "actionSaveTableAs",
                             "actionReadTable", "actionWriteTable", "actionCopyScene",
                             "actionCutScene",  "actionPasteScene", "actionBlackout"};

QByteArray bytesOf(const SceneRecord &record)
{
    return QByteArray(reinterpret_cast<const char *>(record.bytes), SceneRecord::Size);
}

// Where the slider's handle is drawn now.
QPoint handleCentre(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.upsideDown =
        slider->orientation() == Qt::Vertical ? !slider->invertedAppearance() : slider->invertedAppearance();
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

QByteArray fileContents(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<SuperRGB *> lampsIn(QHBoxLayout *layout)
{
    QList<SuperRGB *> lamps;
    for (unsigned short n = 0; n < SceneRecord::LampCount; ++n) {
        auto *lamp = new SuperRGB(0, 0, 0, n);
        layout->addWidget(lamp);
        lamps.append(lamp);
    }
    return lamps;
}

} // namespace

// The editing actions on the window's form, without the window: a plain
// main window with the form, the two lighting tabs and their files.
class TestEditingActions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void enabledOnLightingTabsOnly_data();
    void enabledOnLightingTabsOnly();
    void unitActionsOffWhileBlocked_data();
    void unitActionsOffWhileBlocked();
    void tableActionsAreTheShownTabsButtons_data();
    void tableActionsAreTheShownTabsButtons();
    void sceneClipboard_data();
    void sceneClipboard();
    void selectedSlidersMoveTogether_data();
    void selectedSlidersMoveTogether();
    void selectionCommands_data();
    void selectionCommands();
    void colourToLamps_data();
    void colourToLamps();
    void sceneListInSavedFile_data();
    void sceneListInSavedFile();
    void programCopiedAndPasted();
    void sceneListCommandsEnabled_data();
    void sceneListCommandsEnabled();
    void clampedValuesToldOncePerTable_data();
    void clampedValuesToldOncePerTable();

private:
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }

    QTemporaryDir settingsDir;
    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<Ui::Vt410_bootloaderClass> ui;
    LightingTab *programTab = nullptr;
    LightingTab *sceneTab = nullptr;
    EditingActions *editing = nullptr;
    LightingFilesController *files = nullptr;
    std::unique_ptr<ScriptedQuestions> questions;
};

void TestEditingActions::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));
}

void TestEditingActions::init()
{
    failOnUnexpectedWarnings();
    QGuiApplication::clipboard()->clear();
    window = std::make_unique<QMainWindow>();
    ui = std::make_unique<Ui::Vt410_bootloaderClass>();
    ui->setupUi(window.get());
    ui->spinBoxProgramNumber->setRange(1, ProgramCount);
    ui->spinBoxSceneNumber->setRange(1, ScenesPerProgram);
    ui->spinBoxRiseTime->setRange(0, 100000);
    ui->spinBoxStaticTime->setRange(0, 900000);
    ui->spinBoxSceneSceneNumber->setRange(1, StandaloneSceneCount);
    ui->spinBoxSceneRiseTime->setRange(0, 100000);
    ui->spinBoxSceneStaticTime->setRange(0, 900000);

    LightingTabFields programFields;
    programFields.programNumber = ui->spinBoxProgramNumber;
    programFields.sceneNumber = ui->spinBoxSceneNumber;
    programFields.riseTime = ui->spinBoxRiseTime;
    programFields.staticTime = ui->spinBoxStaticTime;
    programFields.endMarker = ui->spinBoxEndMarker;
    programFields.lamps = lampsIn(ui->horizontalLayout);
    programFields.overview = new SceneOverview(ScenesPerProgram, true, ui->tabPrograms);
    LightingTabFields sceneFields;
    sceneFields.sceneNumber = ui->spinBoxSceneSceneNumber;
    sceneFields.riseTime = ui->spinBoxSceneRiseTime;
    sceneFields.staticTime = ui->spinBoxSceneStaticTime;
    sceneFields.lamps = lampsIn(ui->horizontalLayoutScenes);
    sceneFields.overview = new SceneOverview(StandaloneSceneCount, false, ui->tabScenes);
    auto *programs = new LightingDocument(LightingDocument::Kind::Programs, window.get());
    auto *scenes = new LightingDocument(LightingDocument::Kind::Scenes, window.get());
    programTab = new LightingTab(programs, programFields, window.get());
    sceneTab = new LightingTab(scenes, sceneFields, window.get());
    files =
        new LightingFilesController(*window, *programTab, *sceneTab, *ui->tabWidget, *ui->tabPrograms, *ui->tabScenes);
    questions = std::make_unique<ScriptedQuestions>();
    files->setQuestions(questions.get());
    editing = new EditingActions(*window, *ui, *programTab, *sceneTab, *files);
    editing->setQuestions(questions.get());
}

void TestEditingActions::cleanup()
{
    window.reset();
    ui.reset();
    questions.reset();
}

void TestEditingActions::enabledOnLightingTabsOnly_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("sceneCopied");
    QTest::addColumn<QStringList>("enabled");
    QStringList withoutPaste = AllActions;
    withoutPaste.removeAll("actionPasteScene");
    QTest::newRow("Settings") << 0 << false << QStringList{};
    QTest::newRow("Settings, a scene copied") << 0 << true << QStringList{};
    QTest::newRow("Programs") << 1 << false << withoutPaste;
    QTest::newRow("Programs, a scene copied") << 1 << true << AllActions;
    QTest::newRow("Scenes") << 2 << false << withoutPaste;
    QTest::newRow("Scenes, a scene copied") << 2 << true << AllActions;
}

void TestEditingActions::enabledOnLightingTabsOnly()
{
    QFETCH(int, tab);
    QFETCH(bool, sceneCopied);
    QFETCH(QStringList, enabled);
    if (sceneCopied) {
        auto *data = new QMimeData;
        data->setData(SceneClip::MimeType, SceneClip::copy(SceneRecord(), SceneClip::Kind::StandaloneScene).toBytes());
        QGuiApplication::clipboard()->setMimeData(data);
    }
    ui->tabWidget->setCurrentIndex(tab);
    QStringList shown;
    for (const QString &name : AllActions) {
        QVERIFY2(action(name), qPrintable(name));
        if (action(name)->isEnabled())
            shown << name;
    }
    QCOMPARE(shown, enabled);
    QCOMPARE(editing->shownTab(), tab == 1 ? programTab : tab == 2 ? sceneTab : nullptr);
}

void TestEditingActions::unitActionsOffWhileBlocked_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("toUnit");
    for (const QString &name : AllActions)
        QTest::newRow(qPrintable(name)) << name << (name == "actionReadTable" || name == "actionWriteTable");
}

// While a firmware change drives the unit, Read and Write are off, and on
// again after; the files and the clipboard stay at hand.
void TestEditingActions::unitActionsOffWhileBlocked()
{
    QFETCH(QString, name);
    QFETCH(bool, toUnit);
    auto *data = new QMimeData;
    data->setData(SceneClip::MimeType, SceneClip::copy(SceneRecord(), SceneClip::Kind::ProgramScene).toBytes());
    QGuiApplication::clipboard()->setMimeData(data);
    ui->tabWidget->setCurrentIndex(1);
    QVERIFY(action(name)->isEnabled());
    editing->setDeviceActionsBlocked(true);
    QCOMPARE(action(name)->isEnabled(), !toUnit);
    // Moving between the tabs keeps them off.
    ui->tabWidget->setCurrentIndex(2);
    QCOMPARE(action(name)->isEnabled(), !toUnit);
    editing->setDeviceActionsBlocked(false);
    QVERIFY(action(name)->isEnabled());
}

void TestEditingActions::tableActionsAreTheShownTabsButtons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("otherButton");
    QTest::newRow("open programs") << "actionOpenTable" << 1 << "pushButtonLoadProgramsFromFile"
                                   << "pushButtonLoadScenesFromFile";
    QTest::newRow("open scenes") << "actionOpenTable" << 2 << "pushButtonLoadScenesFromFile"
                                 << "pushButtonLoadProgramsFromFile";
    QTest::newRow("read programs") << "actionReadTable" << 1 << "pushButtonGetProgramsFormVt410"
                                   << "pushButtonGetScenesFormVt410";
    QTest::newRow("read scenes") << "actionReadTable" << 2 << "pushButtonGetScenesFormVt410"
                                 << "pushButtonGetProgramsFormVt410";
    QTest::newRow("write programs") << "actionWriteTable" << 1 << "pushButtonSetProgramsInVt410"
                                    << "pushButtonSetScenesInVt410";
    QTest::newRow("write scenes") << "actionWriteTable" << 2 << "pushButtonSetScenesInVt410"
                                  << "pushButtonSetProgramsInVt410";
}

// Captioned as the shown tab's button and doing what it does.
void TestEditingActions::tableActionsAreTheShownTabsButtons()
{
    QFETCH(QString, name);
    QFETCH(int, tab);
    QFETCH(QString, button);
    QFETCH(QString, otherButton);
    ui->tabWidget->setCurrentIndex(tab);
    auto *pushButton = window->findChild<QPushButton *>(button);
    auto *other = window->findChild<QPushButton *>(otherButton);
    QCOMPARE(action(name)->text(), pushButton->text());
    QSignalSpy clicked(pushButton, &QPushButton::clicked);
    QSignalSpy otherClicked(other, &QPushButton::clicked);
    action(name)->trigger();
    QCOMPARE(clicked.size(), 1);
    QCOMPARE(otherClicked.size(), 0);
}

void TestEditingActions::sceneClipboard_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("copy and paste") << "paste";
    QTest::newRow("cut and paste") << "cut";
    QTest::newRow("blackout") << "blackout";
}

// On the Scenes tab: scene 1 to the clipboard and into scene 2; cut and
// blackout make scene 1's lamps black.
void TestEditingActions::sceneClipboard()
{
    QFETCH(QString, name);
    const QByteArray table = editableTable(StandaloneSceneCount, 21);
    sceneTab->replaceTable(table, "table");
    ui->tabWidget->setCurrentIndex(2);
    sceneTab->select(0);
    const SceneRecord first = recordAt(table, 0);
    if (name == "blackout") {
        action("actionBlackout")->trigger();
        const SceneRecord shown = sceneTab->recordOnDisplay();
        for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp)
            QCOMPARE(QList<int>({shown.red(lamp), shown.green(lamp), shown.blue(lamp)}), QList<int>({0, 0, 0}));
        QCOMPARE(shown.riseTime(), first.riseTime());
        QVERIFY(!action("actionPasteScene")->isEnabled());
        return;
    }
    action(name == "cut" ? "actionCutScene" : "actionCopyScene")->trigger();
    QVERIFY(action("actionPasteScene")->isEnabled());
    if (name == "cut")
        QCOMPARE(sceneTab->recordOnDisplay().riseTime(), 0);
    sceneTab->select(1);
    action("actionPasteScene")->trigger();
    const SceneRecord pasted = sceneTab->recordOnDisplay();
    for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp)
        QCOMPARE(QList<int>({pasted.red(lamp), pasted.green(lamp), pasted.blue(lamp)}),
                 QList<int>({first.red(lamp), first.green(lamp), first.blue(lamp)}));
    QCOMPARE(pasted.riseTime(), first.riseTime());
    QCOMPARE(pasted.staticTime(), first.staticTime());
}

void TestEditingActions::selectedSlidersMoveTogether_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("how");
    for (int tab : {1, 2}) {
        const QString name = tab == 1 ? "programs" : "scenes";
        QTest::newRow(qPrintable(name + ", drag")) << tab << "drag";
        QTest::newRow(qPrintable(name + ", mouse drag")) << tab << "mouse drag";
        QTest::newRow(qPrintable(name + ", plus")) << tab << "plus";
        QTest::newRow(qPrintable(name + ", minus")) << tab << "minus";
    }
}

// Three selected red sliders (lamps 1, 4 and 8): moving one moves all three,
// "+" or "-" under one scales all three, the other sliders stay, and one
// undo gives the scene back as it was.
void TestEditingActions::selectedSlidersMoveTogether()
{
    QFETCH(int, tab);
    QFETCH(QString, how);
    LightingTab *lightingTab = tab == 1 ? programTab : sceneTab;
    const int records = lightingTab->document().recordCount();
    const QByteArray table = editableTable(records, 33);
    lightingTab->replaceTable(table, "table");
    ui->tabWidget->setCurrentIndex(tab);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QList<int> selectedLamps{0, 3, 7};
    for (int lamp : selectedLamps)
        lightingTab->lamps().at(lamp)->selectRed(true);
    const int undoSteps = lightingTab->undoStack()->count();
    const SceneRecord before = lightingTab->recordOnDisplay();
    QCOMPARE(bytesOf(before), bytesOf(recordAt(table, lightingTab->selectedIndex())));

    auto *dragged = lightingTab->lamps().at(3)->findChild<ColorSlider *>("SliderRed");
    const auto expectedRed = [&](int red) {
        if (how == "plus")
            return qBound(0, red + red * 10 / 100 + 5, 255);
        if (how == "minus")
            return qBound(0, red - red * 10 / 100 - 5, 255);
        return how == "drag" ? 66 : int(dragged->value());
    };
    if (how == "drag") {
        // What a drag of the handle does: the slider is down while its
        // position moves.
        dragged->setSliderDown(true);
        dragged->setSliderPosition(66);
        dragged->setSliderDown(false);
    } else if (how == "mouse drag") {
        // The handle taken with the mouse and pulled a way up or down.
        const QPoint handle = handleCentre(dragged);
        const QPoint target(handle.x(), handle.y() > dragged->height() / 2 ? handle.y() - 60 : handle.y() + 60);
        QTest::mousePress(dragged, Qt::LeftButton, {}, handle);
        QTest::mouseMove(dragged, target);
        QTest::mouseRelease(dragged, Qt::LeftButton, {}, target);
        QVERIFY(dragged->value() != before.red(3));
    } else {
        auto *button =
            lightingTab->lamps().at(3)->findChild<QPushButton *>(how == "plus" ? "ButtonRPlus" : "ButtonRMinus");
        QTest::mouseClick(button, Qt::LeftButton);
    }
    const SceneRecord after = lightingTab->recordOnDisplay();
    for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp) {
        const int red = selectedLamps.contains(lamp) ? expectedRed(before.red(lamp)) : before.red(lamp);
        QCOMPARE(QList<int>({after.red(lamp), after.green(lamp), after.blue(lamp)}),
                 QList<int>({red, before.green(lamp), before.blue(lamp)}));
    }
    QCOMPARE(lightingTab->undoStack()->count(), undoSteps + 1);
    lightingTab->undoStack()->undo();
    QCOMPARE(bytesOf(lightingTab->recordOnDisplay()), bytesOf(before));
    QCOMPARE(lightingTab->document().table(), table);
}

void TestEditingActions::selectionCommands_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("actions");
    // Per lamp: red, green and blue selected.
    QTest::addColumn<QList<bool>>("expected");
    QTest::newRow("all") << 1 << QStringList{"actionSelectAllSliders"} << QList<bool>{true, true, true};
    QTest::newRow("red") << 2 << QStringList{"actionSelectRedSliders"} << QList<bool>{true, false, false};
    QTest::newRow("green and blue")
        << 1 << QStringList{"actionSelectGreenSliders", "actionSelectBlueSliders"} << QList<bool>{false, true, true};
    QTest::newRow("all, then none")
        << 2 << QStringList{"actionSelectAllSliders", "actionSelectNoSliders"} << QList<bool>{false, false, false};
    QTest::newRow("all but red")
        << 1 << QStringList{"actionSelectAllSliders", "actionDeselectRedSliders"} << QList<bool>{false, true, true};
    QTest::newRow("all but green")
        << 2 << QStringList{"actionSelectAllSliders", "actionDeselectGreenSliders"} << QList<bool>{true, false, true};
    QTest::newRow("all but blue")
        << 1 << QStringList{"actionSelectAllSliders", "actionDeselectBlueSliders"} << QList<bool>{true, true, false};
}

// The Edit menu's selection commands mark the shown tab's sliders, and only
// those; marking changes no value and is no undo step.
void TestEditingActions::selectionCommands()
{
    QFETCH(int, tab);
    QFETCH(QStringList, actions);
    QFETCH(QList<bool>, expected);
    LightingTab *lightingTab = tab == 1 ? programTab : sceneTab;
    LightingTab *otherTab = tab == 1 ? sceneTab : programTab;
    const QByteArray table = editableTable(lightingTab->document().recordCount(), 34);
    lightingTab->replaceTable(table, "table");
    ui->tabWidget->setCurrentIndex(tab);
    const int undoSteps = lightingTab->undoStack()->count();
    for (const QString &name : actions) {
        QVERIFY2(action(name) && action(name)->isEnabled(), qPrintable(name));
        action(name)->trigger();
    }
    for (SuperRGB *lamp : lightingTab->lamps())
        QCOMPARE(QList<bool>({lamp->isRedSelected(), lamp->isGreenSelected(), lamp->isBlueSelected()}), expected);
    for (SuperRGB *lamp : otherTab->lamps())
        QVERIFY(!lamp->hasSelectedSlider());
    QCOMPARE(lightingTab->document().table(), table);
    QCOMPARE(lightingTab->undoStack()->count(), undoSteps);
    // The lamps' context menu offers the same commands.
    std::unique_ptr<QMenu> menu(editing->shownLampGroup()->makeContextMenu(0));
    for (const QString &name : actions)
        QVERIFY2(menu->actions().contains(action(name)), qPrintable(name));
}

void TestEditingActions::colourToLamps_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QList<int>>("selectedLamps");
    QTest::addColumn<QList<int>>("changedLamps");
    const QList<int> all{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    QTest::newRow("programs, to selected")
        << 1 << "actionColourToSelectedLamps" << QList<int>{2, 9} << QList<int>{2, 9};
    QTest::newRow("scenes, to selected") << 2 << "actionColourToSelectedLamps" << QList<int>{11} << QList<int>{11};
    QTest::newRow("programs, to all") << 1 << "actionColourToAllLamps" << QList<int>{2} << all;
    QTest::newRow("scenes, to all, none selected") << 2 << "actionColourToAllLamps" << QList<int>{} << all;
}

// Lamp 6's colour through its context menu: one undo step, which gives the
// other lamps' colours back.
void TestEditingActions::colourToLamps()
{
    QFETCH(int, tab);
    QFETCH(QString, command);
    QFETCH(QList<int>, selectedLamps);
    QFETCH(QList<int>, changedLamps);
    LightingTab *lightingTab = tab == 1 ? programTab : sceneTab;
    const QByteArray table = editableTable(lightingTab->document().recordCount(), 35);
    lightingTab->replaceTable(table, "table");
    ui->tabWidget->setCurrentIndex(tab);
    for (int lamp : selectedLamps)
        lightingTab->lamps().at(lamp)->selectBlue(true);
    const SceneRecord before = lightingTab->recordOnDisplay();
    const int undoSteps = lightingTab->undoStack()->count();
    const int from = 5;
    std::unique_ptr<QMenu> menu(editing->shownLampGroup()->makeContextMenu(from));
    QAction *apply = menu->findChild<QAction *>(command);
    QVERIFY(apply);
    apply->trigger();
    const SceneRecord after = lightingTab->recordOnDisplay();
    for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp) {
        const int source = changedLamps.contains(lamp) ? from : lamp;
        QCOMPARE(QList<int>({after.red(lamp), after.green(lamp), after.blue(lamp)}),
                 QList<int>({before.red(source), before.green(source), before.blue(source)}));
    }
    QCOMPARE(lightingTab->undoStack()->count(), undoSteps + 1);
    lightingTab->undoStack()->undo();
    QCOMPARE(bytesOf(lightingTab->recordOnDisplay()), bytesOf(before));
}

void TestEditingActions::sceneListInSavedFile_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("program"); // from 1; 0 on the Scenes tab
    QTest::addColumn<int>("scene");   // from 1
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("lastBlank");
    // -1: no question; else the answer to the question.
    QTest::addColumn<int>("answer");
    // The list's records in their new order, as indices of the old list;
    // -1 for a blank record.
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("shownAfter"); // from 1

    QList<int> twenty;
    for (int i = 0; i < 20; ++i)
        twenty << i;
    QList<int> inserted = twenty;
    inserted.insert(4, -1);
    inserted.removeLast();
    QTest::newRow("insert at scene 5, last scene blank")
        << 1 << 3 << 5 << "actionInsertScene" << true << -1 << inserted << 5;
    QTest::newRow("insert at scene 5, last scene dropped after Yes")
        << 1 << 3 << 5 << "actionInsertScene" << false << int(QMessageBox::Yes) << inserted << 5;
    QTest::newRow("insert at scene 5, refused")
        << 1 << 3 << 5 << "actionInsertScene" << false << int(QMessageBox::No) << twenty << 5;
    QList<int> deleted = twenty;
    deleted.removeAt(4);
    deleted << -1;
    QTest::newRow("delete scene 5") << 1 << 3 << 5 << "actionDeleteScene" << false << -1 << deleted << 5;
    QList<int> up = twenty;
    up.swapItemsAt(3, 4);
    QTest::newRow("move scene 5 up") << 1 << 8 << 5 << "actionMoveSceneUp" << false << -1 << up << 4;
    QList<int> down = twenty;
    down.swapItemsAt(4, 5);
    QTest::newRow("move scene 5 down") << 1 << 1 << 5 << "actionMoveSceneDown" << false << -1 << down << 6;
    QTest::newRow("insert at stand-alone scene 3") << 2 << 0 << 3 << "actionInsertScene" << false
                                                   << int(QMessageBox::Yes) << QList<int>{0, 1, -1, 2, 3, 4, 5, 6} << 3;
    QTest::newRow("delete stand-alone scene 8")
        << 2 << 0 << 8 << "actionDeleteScene" << false << -1 << QList<int>{0, 1, 2, 3, 4, 5, 6, -1} << 8;
}

// The scenes move whole, End Markers with them, in the file saved after
// the command: the saved bytes are the bytes saved before with the list's
// records rearranged. One undo saves the first file's bytes again.
void TestEditingActions::sceneListInSavedFile()
{
    QFETCH(int, tab);
    QFETCH(int, program);
    QFETCH(int, scene);
    QFETCH(QString, command);
    QFETCH(bool, lastBlank);
    QFETCH(int, answer);
    QFETCH(QList<int>, order);
    QFETCH(int, shownAfter);
    LightingTab *lightingTab = tab == 1 ? programTab : sceneTab;
    const int first = program > 0 ? (program - 1) * ScenesPerProgram : 0;
    const int count = order.size();
    QByteArray table = editableTable(lightingTab->document().recordCount(), 36);
    // Every record has an End Marker to carry (set on odd scenes).
    for (int i = 0; i < lightingTab->document().recordCount(); ++i) {
        SceneRecord record = recordAt(table, i);
        record.setEndMarker(tab == 1 ? quint8(i % 2) : record.endMarker());
        setRecordAt(table, i, record);
    }
    if (lastBlank)
        setRecordAt(table, first + count - 1, SceneRecord{});
    lightingTab->replaceTable(table, "table");
    ui->tabWidget->setCurrentIndex(tab);
    lightingTab->select(first + scene - 1);

    QTemporaryDir dir;
    const QString name = dir.filePath(tab == 1 ? "show.pgm" : "show.scn");
    questions->answer(name);
    QVERIFY(files->save(*lightingTab, false));
    const QByteArray original = fileContents(name);
    QCOMPARE(original.right(table.size()), table);
    const int undoSteps = lightingTab->undoStack()->count();

    if (answer >= 0)
        questions->answerMessage(QMessageBox::StandardButton(answer));
    action(command)->trigger();
    QCOMPARE(questions->messages().size(), answer >= 0 ? 1 : 0);
    QCOMPARE(questions->unscripted, 0);
    QVERIFY(files->save(*lightingTab, true));

    QByteArray expected = original;
    const int tableStart = original.size() - table.size();
    for (int i = 0; i < count; ++i) {
        const QByteArray record = order.at(i) < 0
                                      ? QByteArray(SceneRecord::Size, '\0')
                                      : table.mid((first + order.at(i)) * SceneRecord::Size, SceneRecord::Size);
        expected.replace(tableStart + (first + i) * SceneRecord::Size, SceneRecord::Size, record);
    }
    QCOMPARE(fileContents(name), expected);
    QCOMPARE(lightingTab->selectedIndex(), first + shownAfter - 1);
    QCOMPARE(bytesOf(lightingTab->recordOnDisplay()),
             expected.mid(tableStart + (first + shownAfter - 1) * SceneRecord::Size, SceneRecord::Size));

    const bool changed = expected != original;
    QCOMPARE(lightingTab->undoStack()->count(), undoSteps + (changed ? 1 : 0));
    if (changed)
        lightingTab->undoStack()->undo();
    QVERIFY(files->save(*lightingTab, true));
    QCOMPARE(fileContents(name), original);
}

// Program 2's scenes into program 6, as one undo step; the clipboard keeps
// the copy for another paste.
void TestEditingActions::programCopiedAndPasted()
{
    const QByteArray table = editableTable(ProgramCount * ScenesPerProgram, 37);
    programTab->replaceTable(table, "table");
    ui->tabWidget->setCurrentIndex(1);
    QVERIFY(!action("actionPasteProgram")->isEnabled());
    programTab->select(LightingDocument::programIndex(1, 7));
    action("actionCopyProgram")->trigger();
    QVERIFY(action("actionPasteProgram")->isEnabled());
    programTab->select(LightingDocument::programIndex(5, 2));
    const int undoSteps = programTab->undoStack()->count();
    action("actionPasteProgram")->trigger();
    QByteArray expected = table;
    expected.replace(5 * 960, 960, table.mid(960, 960));
    QCOMPARE(programTab->document().table(), expected);
    QCOMPARE(programTab->undoStack()->count(), undoSteps + 1);
    QCOMPARE(bytesOf(programTab->recordOnDisplay()), table.mid(960 + 2 * SceneRecord::Size, SceneRecord::Size));
    programTab->undoStack()->undo();
    QCOMPARE(programTab->document().table(), table);
    // The Scenes tab has no programs.
    ui->tabWidget->setCurrentIndex(2);
    QVERIFY(!action("actionCopyProgram")->isEnabled());
    QVERIFY(!action("actionPasteProgram")->isEnabled());
}

void TestEditingActions::sceneListCommandsEnabled_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("scene"); // from 1
    QTest::addColumn<QStringList>("enabled");
    const QStringList list{"actionInsertScene", "actionDeleteScene", "actionMoveSceneUp", "actionMoveSceneDown"};
    QTest::newRow("Settings") << 0 << 1 << QStringList{};
    QTest::newRow("programs, first scene")
        << 1 << 1 << QStringList{"actionInsertScene", "actionDeleteScene", "actionMoveSceneDown", "actionCopyProgram"};
    QTest::newRow("programs, scene 10") << 1 << 10 << (list + QStringList{"actionCopyProgram"});
    QTest::newRow("programs, scene 20")
        << 1 << 20 << QStringList{"actionInsertScene", "actionDeleteScene", "actionMoveSceneUp", "actionCopyProgram"};
    QTest::newRow("scenes, scene 4") << 2 << 4 << list;
    QTest::newRow("scenes, scene 8")
        << 2 << 8 << QStringList{"actionInsertScene", "actionDeleteScene", "actionMoveSceneUp"};
}

// Up and down where there is a neighbour; programs on the Programs tab; all
// of them in the Edit menu and the overview's context menu.
void TestEditingActions::sceneListCommandsEnabled()
{
    QFETCH(int, tab);
    QFETCH(int, scene);
    QFETCH(QStringList, enabled);
    const QStringList all{"actionInsertScene",   "actionDeleteScene", "actionMoveSceneUp",
                          "actionMoveSceneDown", "actionCopyProgram", "actionPasteProgram"};
    ui->tabWidget->setCurrentIndex(tab);
    if (tab > 0) {
        // A right click on the overview's column selects that scene and
        // offers the same commands.
        LightingTab *lightingTab = tab == 1 ? programTab : sceneTab;
        SceneOverview *overview = lightingTab->overview();
        overview->resize(overview->sizeHint());
        lightingTab->select(scene == 1 ? 1 : 0);
        // The offscreen platform cannot raise the menu nor give it the keyboard.
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support grabbing the keyboard");
        }
        emit overview->customContextMenuRequested(overview->cellRect(scene - 1, 3).center());
        QCOMPARE(lightingTab->selectedSceneNumber(), scene);
        // What the window's slot on the number spin box does.
        lightingTab->showSelected();
        auto *menu = overview->findChild<QMenu *>("sceneContextMenu");
        QVERIFY(menu);
        for (const QString &name : all)
            QVERIFY2(menu->actions().contains(action(name)), qPrintable(name));
        menu->close();
    }
    QStringList shown;
    auto *editMenu = window->findChild<QMenu *>("menuEdit");
    for (const QString &name : all) {
        QVERIFY2(action(name), qPrintable(name));
        QVERIFY2(editMenu->actions().contains(action(name)), qPrintable(name));
        if (action(name)->isEnabled())
            shown << name;
    }
    QCOMPARE(shown, enabled);
}

void TestEditingActions::clampedValuesToldOncePerTable_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("offset"); // the field made too large, in records 2 and 5
    QTest::addColumn<quint32>("value");
    QTest::addColumn<bool>("told");
    QTest::newRow("XFade beyond 100000") << 1 << SceneRecord::RiseTimeOffset << 200000u << true;
    QTest::newRow("Scene Time beyond 900000") << 2 << SceneRecord::StaticTimeOffset << 900001u << true;
    QTest::newRow("negative Scene Time") << 2 << SceneRecord::StaticTimeOffset << 0xFFFFFFFFu << true;
    QTest::newRow("End Marker 7") << 1 << int(SceneRecord::EndMarkerOffset) << 7u << true;
    QTest::newRow("End Marker 7 on the Scenes tab: not shown") << 2 << int(SceneRecord::EndMarkerOffset) << 7u << false;
    QTest::newRow("XFade 100000 fits") << 1 << SceneRecord::RiseTimeOffset << 100000u << false;
}

// The status bar says it when the first such record is shown, not again for
// the next one of the same table, and again for a new table.
void TestEditingActions::clampedValuesToldOncePerTable()
{
    QFETCH(int, tab);
    QFETCH(int, offset);
    QFETCH(quint32, value);
    QFETCH(bool, told);
    const QString text = "values out of range were shown as their nearest allowed value; saving writes them";
    LightingTab *lightingTab = tab == 1 ? programTab : sceneTab;
    ui->tabWidget->setCurrentIndex(tab);
    QByteArray table(lightingTab->document().recordCount() * SceneRecord::Size, '\0');
    for (int record : {2, 5}) {
        if (offset == SceneRecord::EndMarkerOffset)
            table[record * SceneRecord::Size + offset] = char(value);
        else
            qToLittleEndian<quint32>(value, table.data() + record * SceneRecord::Size + offset);
    }
    lightingTab->replaceTable(table, "table");
    QCOMPARE(window->statusBar()->currentMessage(), QString());
    lightingTab->select(2);
    QCOMPARE(window->statusBar()->currentMessage(), told ? text : QString());
    window->statusBar()->clearMessage();
    lightingTab->select(5);
    QCOMPARE(window->statusBar()->currentMessage(), QString());
    // The same bytes as a new table, shown again from record 5.
    lightingTab->replaceTable(QByteArray(table.size(), '\0'), "zero");
    lightingTab->replaceTable(table, "table again");
    QCOMPARE(window->statusBar()->currentMessage(), told ? text : QString());
}

QTEST_MAIN(TestEditingActions)
#include "test_editingactions.moc"
