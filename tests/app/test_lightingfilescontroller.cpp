#include "FailOnWarnings.h"
#include "LightingTestData.h"
#include "ScriptedQuestions.h"
#include "app/LightingFilesController.h"
#include "app/LightingTab.h"
#include "app/RecentFiles.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "lighting/LightingDocument.h"
#include "lighting/LightingFile.h"
#include "lighting/SceneTables.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

namespace {

QSpinBox *spinBox(QWidget *parent, int minimum, int maximum)
{
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    return box;
}

// The editors of one lighting tab on its page, as the window's form has them.
LightingTabFields tabFields(QWidget *page, bool programs)
{
    LightingTabFields fields;
    if (programs) {
        fields.programNumber = spinBox(page, 1, ProgramCount);
        fields.endMarker = spinBox(page, 0, 1);
    }
    fields.sceneNumber = spinBox(page, 1, programs ? ScenesPerProgram : StandaloneSceneCount);
    fields.riseTime = spinBox(page, 0, 100000);
    fields.staticTime = spinBox(page, 0, 900000);
    for (unsigned short n = 0; n < SceneRecord::LampCount; ++n) {
        auto *lamp = new SuperRGB(0, 0, 0, n);
        lamp->setParent(page);
        fields.lamps.append(lamp);
    }
    fields.overview = new SceneOverview(programs ? ScenesPerProgram : StandaloneSceneCount, programs, page);
    return fields;
}

bool writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// The files of the two lighting tabs without the main window: a window with
// a tab widget of three pages (Settings, Programs, Scenes) and the two tabs.
class TestLightingFilesController : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void dropGoesWhereTheKindBelongs_data();
    void dropGoesWhereTheKindBelongs();
    void onlyLocalFilesAreDropped_data();
    void onlyLocalFilesAreDropped();
    void recentFilesNewestFirst_data();
    void recentFilesNewestFirst();
    void recentMenuDropsMissingFiles();
    void unsavedEditsAskFirst_data();
    void unsavedEditsAskFirst();

private:
    QByteArray tableOf(bool programs) const;

    QTemporaryDir settingsDir;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QMainWindow> window;
    QTabWidget *tabs = nullptr;
    LightingTab *programTab = nullptr;
    LightingTab *sceneTab = nullptr;
    LightingFilesController *files = nullptr;
    std::unique_ptr<ScriptedQuestions> questions;
};

void TestLightingFilesController::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));
    QCoreApplication::setOrganizationName(QStringLiteral("Vt520"));
    QCoreApplication::setApplicationName(QStringLiteral("test_lightingfilescontroller"));
}

void TestLightingFilesController::init()
{
    failOnUnexpectedWarnings();
    QSettings().clear();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    window = std::make_unique<QMainWindow>();
    tabs = new QTabWidget(window.get());
    window->setCentralWidget(tabs);
    auto *settingsPage = new QWidget;
    auto *programsPage = new QWidget;
    auto *scenesPage = new QWidget;
    tabs->addTab(settingsPage, "Settings");
    tabs->addTab(programsPage, "Programs");
    tabs->addTab(scenesPage, "Scenes");
    auto *programs = new LightingDocument(LightingDocument::Kind::Programs, window.get());
    auto *scenes = new LightingDocument(LightingDocument::Kind::Scenes, window.get());
    programTab = new LightingTab(programs, tabFields(programsPage, true), window.get());
    sceneTab = new LightingTab(scenes, tabFields(scenesPage, false), window.get());
    files = new LightingFilesController(*window, *programTab, *sceneTab, *tabs, *programsPage, *scenesPage);
    questions = std::make_unique<ScriptedQuestions>();
    files->setQuestions(questions.get());
}

void TestLightingFilesController::cleanup()
{
    window.reset();
    questions.reset();
}

QByteArray TestLightingFilesController::tableOf(bool programs) const
{
    return (programs ? programTab : sceneTab)->document().table();
}

void TestLightingFilesController::dropGoesWhereTheKindBelongs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tab");             // shown afterwards
    QTest::addColumn<bool>("upgradeOffered"); // handed on for a firmware change
    QTest::addColumn<bool>("refused");
    QTest::newRow("programs file") << "programs"
                                   << "venue.pgm" << 1 << false << false;
    QTest::newRow("scenes file named .pgm") << "scenes"
                                            << "show.pgm" << 2 << false << false;
    QTest::newRow("upgrade file") << "upgrade"
                                  << "new.upg" << 0 << true << false;
    QTest::newRow("upgrade file named .scn") << "upgrade"
                                             << "firmware.scn" << 0 << true << false;
    QTest::newRow("not an upgrade file, named .upg") << "text"
                                                     << "old.upg" << 0 << false << true;
    QTest::newRow("Intel HEX file") << "hex"
                                    << "firmware.hex" << 0 << false << true;
    QTest::newRow("missing file") << "missing"
                                  << "gone.pgm" << 0 << false << true;
}

void TestLightingFilesController::dropGoesWhereTheKindBelongs()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(int, tab);
    QFETCH(bool, upgradeOffered);
    QFETCH(bool, refused);
    const QString fileName = dir->filePath(name);
    const QByteArray programs = editableTable(ProgramCount * ScenesPerProgram, 11);
    const QByteArray scenes = editableTable(StandaloneSceneCount, 12);
    if (kind == "programs")
        QCOMPARE(LightingFile::save(fileName, LightingFile::Kind::Programs, programs), LightingFile::Status::Ok);
    else if (kind == "scenes")
        QCOMPARE(LightingFile::save(fileName, LightingFile::Kind::Scenes, scenes), LightingFile::Status::Ok);
    else if (kind == "upgrade")
        QVERIFY(UpgradeFile::write(fileName, QByteArray(UpgradeImage::Size, '\0')));
    else if (kind == "hex")
        QVERIFY(writeFile(fileName, ":020000040800F2\n:00000001FF\n"));
    else if (kind == "text")
        QVERIFY(writeFile(fileName, "not a firmware file"));

    QSignalSpy offered(files, &LightingFilesController::upgradeFileDropped);
    files->drop({fileName});

    QCOMPARE(tabs->currentIndex(), tab);
    QCOMPARE(offered.size(), upgradeOffered ? 1 : 0);
    if (upgradeOffered)
        QCOMPARE(offered.at(0).at(0).toString(), fileName);
    QCOMPARE(questions->messages().size(), refused ? 1 : 0);
    if (refused)
        QCOMPARE(questions->messages().at(0).title, QStringLiteral("File error"));
    QCOMPARE(tableOf(true), kind == "programs" ? programs : QByteArray(ProgramsTableSize, '\0'));
    QCOMPARE(tableOf(false), kind == "scenes" ? scenes : QByteArray(ScenesTableSize, '\0'));
    QCOMPARE(programTab->document().fileName(), kind == "programs" ? fileName : QString());
    QCOMPARE(sceneTab->document().fileName(), kind == "scenes" ? fileName : QString());
}

void TestLightingFilesController::onlyLocalFilesAreDropped_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("two local files") << QList<QUrl>{QUrl::fromLocalFile("/a/x.pgm"), QUrl::fromLocalFile("/b/y.scn")}
                                     << QStringList{"/a/x.pgm", "/b/y.scn"};
    QTest::newRow("a web address") << QList<QUrl>{QUrl("https://example.org/x.pgm")} << QStringList{};
    QTest::newRow("local among others")
        << QList<QUrl>{QUrl("https://example.org/x.pgm"), QUrl::fromLocalFile("/c/z.upg")} << QStringList{"/c/z.upg"};
    QTest::newRow("no addresses") << QList<QUrl>{} << QStringList{};
}

void TestLightingFilesController::onlyLocalFilesAreDropped()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QStringList, files);
    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(urls);
    else
        data.setText("/a/x.pgm");
    QCOMPARE(LightingFilesController::localFiles(&data), files);
}

void TestLightingFilesController::recentFilesNewestFirst_data()
{
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("newest first") << QStringList{"a.pgm", "b.scn", "c.pgm"} << QStringList{"c.pgm", "b.scn", "a.pgm"};
    QTest::newRow("again comes first, once") << QStringList{"a.pgm", "b.scn", "a.pgm"} << QStringList{"a.pgm", "b.scn"};
    QStringList ten;
    for (int n = 0; n < 10; ++n)
        ten << QStringLiteral("f%1.scn").arg(n);
    QStringList newestEight;
    for (int n = 9; n >= 2; --n)
        newestEight << QStringLiteral("f%1.scn").arg(n);
    QTest::newRow("at most eight") << ten << newestEight;
}

// Saved and loaded files go to the top of Open Recent; the menu lists them
// newest first, numbered, and opens the one chosen.
void TestLightingFilesController::recentFilesNewestFirst()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, listed);
    const QByteArray table = editableTable(StandaloneSceneCount, 5);
    for (const QString &name : added) {
        const QString fileName = dir->filePath(name);
        const auto kind = name.endsWith(".pgm") ? LightingFile::Kind::Programs : LightingFile::Kind::Scenes;
        const QByteArray written =
            kind == LightingFile::Kind::Programs ? editableTable(ProgramCount * ScenesPerProgram, 6) : table;
        QCOMPARE(LightingFile::save(fileName, kind, written), LightingFile::Status::Ok);
        questions->answer(fileName);
        LightingTab &tab = kind == LightingFile::Kind::Programs ? *programTab : *sceneTab;
        QVERIFY(files->load(tab));
        // The window shows the loaded table, as after every load.
        tab.showSelected();
    }
    QMenu *menu = files->makeRecentMenu();
    emit menu->aboutToShow();
    QStringList shown;
    for (QAction *action : menu->actions())
        shown << action->text();
    QStringList expected;
    for (int n = 0; n < listed.size(); ++n)
        expected << QStringLiteral("&%1 %2").arg(n + 1).arg(listed.at(n));
    QCOMPARE(shown, expected);
    QCOMPARE(menu->actions().value(0)->toolTip(), QDir::toNativeSeparators(dir->filePath(listed.first())));
}

void TestLightingFilesController::recentMenuDropsMissingFiles()
{
    const QByteArray table = editableTable(StandaloneSceneCount, 50);
    const QString kept = dir->filePath("kept.scn");
    const QString gone = dir->filePath("gone.scn");
    for (const QString &file : {gone, kept}) {
        QCOMPARE(LightingFile::save(file, LightingFile::Kind::Scenes, table), LightingFile::Status::Ok);
        RecentFiles().add(file);
    }
    QVERIFY(QFile::remove(gone));
    QMenu *menu = files->makeRecentMenu();
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().at(0)->toolTip(), QDir::toNativeSeparators(kept));
    QVERIFY(window->statusBar()->currentMessage().contains("gone.scn"));
    QCOMPARE(RecentFiles().files(), QStringList{QFileInfo(kept).absoluteFilePath()});
    // Once gone, always gone: none left, the menu says so.
    QVERIFY(QFile::remove(kept));
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().size(), 1);
    QVERIFY(!menu->actions().at(0)->isEnabled());
    QVERIFY(RecentFiles().files().isEmpty());
}

void TestLightingFilesController::unsavedEditsAskFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<bool>("saved");
    QTest::newRow("save") << int(QMessageBox::Save) << true << true;
    QTest::newRow("discard") << int(QMessageBox::Discard) << true << false;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
}

// A file from outside would replace edited scenes: Save writes them to
// their file first, Discard drops them, Cancel keeps everything.
void TestLightingFilesController::unsavedEditsAskFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    const QString own = dir->filePath("own.scn");
    const QString other = dir->filePath("other.scn");
    const QByteArray otherTable = editableTable(StandaloneSceneCount, 7);
    QCOMPARE(LightingFile::save(own, LightingFile::Kind::Scenes, QByteArray(ScenesTableSize, '\0')),
             LightingFile::Status::Ok);
    QCOMPARE(LightingFile::save(other, LightingFile::Kind::Scenes, otherTable), LightingFile::Status::Ok);
    QVERIFY(files->open(own));
    SceneRecord record = sceneTab->recordOnDisplay();
    record.setRiseTime(1234);
    sceneTab->replaceSelectedRecord(record, "edit");
    const QByteArray edited = tableOf(false);
    QVERIFY(sceneTab->isModifiedOnDisplay());

    questions->answerMessage(QMessageBox::StandardButton(answer));
    QCOMPARE(files->open(other), goesOn);
    QCOMPARE(questions->messages().size(), 1);
    QCOMPARE(questions->messages().at(0).title, QStringLiteral("Unsaved changes"));
    QCOMPARE(LightingFile::load(own, LightingFile::Kind::Scenes).table,
             saved ? edited : QByteArray(ScenesTableSize, '\0'));
    QCOMPARE(tableOf(false), goesOn ? otherTable : edited);
    QCOMPARE(sceneTab->document().fileName(), goesOn ? other : own);
}

QTEST_MAIN(TestLightingFilesController)
#include "test_lightingfilescontroller.moc"
