#include "FailOnWarnings.h"
#include "LightingTestData.h"
#include "ScriptedQuestions.h"
#include "app/EditingActions.h"
#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "lighting/LightingDocument.h"
#include "lighting/SceneClip.h"
#include "lighting/SceneTables.h"
#include "ui_Vt410_bootloader.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QClipboard>
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

private:
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }

    QTemporaryDir settingsDir;
    std::unique_ptr<QMainWindow> window;
    std::unique_ptr<Ui::Vt410_bootloaderClass> ui;
    LightingTab *programTab = nullptr;
    LightingTab *sceneTab = nullptr;
    EditingActions *editing = nullptr;
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
    auto *files =
        new LightingFilesController(*window, *programTab, *sceneTab, *ui->tabWidget, *ui->tabPrograms, *ui->tabScenes);
    questions = std::make_unique<ScriptedQuestions>();
    files->setQuestions(questions.get());
    editing = new EditingActions(*window, *ui, *programTab, *sceneTab, *files);
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

QTEST_MAIN(TestEditingActions)
#include "test_editingactions.moc"
