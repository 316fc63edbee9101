// The Programs and Scenes tabs of the window: record show/store logic, the
// four device commands against the emulator and the four file commands.
#include "FailOnWarnings.h"
#include "ShownTitle.h"
#include "LightingTestData.h"
#include "ScriptedQuestions.h"
#include "UnitFaults.h"
#include "app/RecentFiles.h"
#include "app/Vt410_bootloader.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "lighting/LightingFile.h"
#include "lighting/LightingTransfer.h"
#include "lighting/SceneClip.h"
#include "sim/Vt520Sim.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>
#include <QTabWidget>
#include <QTextEdit>
#include <QTranslator>
#include <QDataStream>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QLabel>
#include <QtTest>

#include <csignal>
#include <libusb.h>
#include <sys/resource.h>

using Kind = LightingFile::Kind;

namespace {

constexpr quint32 ProgramsAddress = 0x14000;
constexpr quint32 ScenesAddress = 0x15E00;

using WindowSlot = void (Vt410_bootloader::*)(bool);

struct Tab {
    Kind kind;
    quint32 address;
    int length;
    WindowSlot get;
    WindowSlot set;
    WindowSlot load;
    WindowSlot save;
};

const Tab ProgramsTab{Kind::Programs,
                      ProgramsAddress,
                      7680,
                      &Vt410_bootloader::slotpushButtonGetProgramsFromVt410,
                      &Vt410_bootloader::slotpushButtonSetProgramsInVt410,
                      &Vt410_bootloader::slotpushButtonLoadProgramsFromFile,
                      &Vt410_bootloader::slotpushButtonSaveProgramsToFile};
const Tab ScenesTab{Kind::Scenes,
                    ScenesAddress,
                    384,
                    &Vt410_bootloader::slotpushButtonGetScenesFromVt410,
                    &Vt410_bootloader::slotpushButtonSetScenesInVt410,
                    &Vt410_bootloader::slotpushButtonLoadScenesFromFile,
                    &Vt410_bootloader::slotpushButtonSaveScenesToFile};

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<uint8_t> vendorRequestSequence()
{
    QList<uint8_t> result;
    for (const vt520sim::TransferRecord &record : vt520sim::Bus::instance().transferLog())
        if (!record.bulk && (record.requestType & 0x60) == 0x40 && record.request != 255)
            result.append(record.request);
    return result;
}

// The table with the rise time of its first record replaced.
QByteArray withFirstRise(const QByteArray &table, int riseTime)
{
    QByteArray result = table;
    SceneRecord first = recordAt(table, 0);
    first.setRiseTime(riseTime);
    setRecordAt(result, 0, first);
    return result;
}

} // namespace

class TestLightingWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    // records
    void firstChangeStoresTheFirstRecord();
    void changingRecordStoresShownOne();
    void setRightAfterStartStoresFirstRecord();
    void setScenesRightAfterStartStoresFirstScene();
    void markerFromDeviceShowsAndStoresAsOne();
    void outOfRangeValuesAreClamped_data();
    void outOfRangeValuesAreClamped();
    void getTwiceDiscardsEdits();
    void sceneTabKeepsItsOwnState();

    // device
    void setWritesScrambledTable_data();
    void setWritesScrambledTable();
    void noDeviceShowsTimeout_data();
    void noDeviceShowsTimeout();
    void claimedUnitIsNamedInTheStatusBar();
    void failedReadReportsAndReleases_data();
    void failedReadReportsAndReleases();
    void failedWriteReportsAndReleases_data();
    void failedWriteReportsAndReleases();
    void unitBackFromAGlitchCompletes_data();
    void unitBackFromAGlitchCompletes();
    void hostAccessLeftSetIsSaid_data();
    void hostAccessLeftSetIsSaid();

    // files
    void fileDialogsAskExactly_data();
    void fileDialogsAskExactly();
    void saveAndLoadRoundTrip_data();
    void saveAndLoadRoundTrip();
    void saveTakesTheEditsOnDisplay();
    void editedProgramsSurviveDeviceAndFile();
    void titleShowsFileAndMark();
    void closeAsksBeforeLosingEdits_data();
    void attachedUnitInTheStatusBar();
    void closeAsksBeforeLosingEdits();
    void refusedFileLeavesTableAndTab_data();
    void refusedFileLeavesTableAndTab();
    void unusableSaveTargetIsReported_data();
    void unusableSaveTargetIsReported();
    void saveFailingPartWayKeepsOldFile();

    // editing
    void overviewShowsTableAndDisplay_data();
    void overviewShowsTableAndDisplay();
    void overviewSelectsThroughSpinBox_data();
    void overviewSelectsThroughSpinBox();
    void copyPasteGivesIdenticalRecords_data();
    void copyPasteGivesIdenticalRecords();
    void cutAndBlackoutChangeTheirFields_data();
    void cutAndBlackoutChangeTheirFields();
    void textFieldsKeepTheirShortcuts();
    void undoAndRedoEachEdit_data();
    void undoAndRedoEachEdit();
    void filesFromOutsideGoToTheirTab_data();
    void filesFromOutsideGoToTheirTab();
    void openRecentDropsMissingFiles();

private:
    QSpinBox *spin(const char *name) const;
    SuperRGB *programLamp(int n) const;
    SuperRGB *sceneLamp(int n) const;
    static void checkLamp(SuperRGB *lamp, const SceneRecord &record, int n);
    QByteArray savedTable(const Tab &tab);
    void loadTable(const Tab &tab, const QByteArray &table);
    void run(WindowSlot slot) { (window.get()->*slot)(false); }
    void checkOnlyMessage(const QString &title, const QString &text);
    // Shows record `index` of the programs table (program-major) or of the
    // scenes table on its tab, as the user would select it.
    void select(bool programs, int index);
    QAction *action(const char *name) const;
    SceneOverview *overview(bool programs) const;
    SuperRGB *lamp(bool programs, int n) const { return programs ? programLamp(n) : sceneLamp(n); }

    std::unique_ptr<QTemporaryDir> dir;
    QTemporaryDir settingsDir; // the window's settings (recent files, folders)
    std::unique_ptr<Vt410_bootloader> window;
    ScriptedQuestions *questions = nullptr;
    vt520sim::Device *vt = nullptr;
};

void TestLightingWindow::initTestCase()
{
    QVERIFY(settingsDir.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDir.path()));
    // The window's Get and Set wait for a unit on the emulator's clock.
    Clock::setStandard(&emulatorClock());
}

void TestLightingWindow::cleanupTestCase()
{
    Clock::setStandard(nullptr);
}

void TestLightingWindow::init()
{
    failOnUnexpectedWarnings();
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(true);
    vt = &bus.addVt520(1, 4);
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    window = std::make_unique<Vt410_bootloader>();
    auto scripted = std::make_unique<ScriptedQuestions>();
    questions = scripted.get();
    window->setQuestions(std::move(scripted));
}

void TestLightingWindow::cleanup()
{
    window.reset();
    dir.reset();
}

QSpinBox *TestLightingWindow::spin(const char *name) const
{
    auto *box = window->findChild<QSpinBox *>(QLatin1String(name));
    if (!box)
        qFatal("no spin box %s", name);
    return box;
}

static SuperRGB *lampIn(const Vt410_bootloader &window, const char *layoutName, int n)
{
    auto *layout = window.findChild<QHBoxLayout *>(QLatin1String(layoutName));
    SuperRGB *lamp = layout && n < layout->count() ? qobject_cast<SuperRGB *>(layout->itemAt(n)->widget()) : nullptr;
    if (!lamp)
        qFatal("no lamp editor %d in %s", n, layoutName);
    return lamp;
}

SuperRGB *TestLightingWindow::programLamp(int n) const
{
    return lampIn(*window, "horizontalLayout", n);
}

SuperRGB *TestLightingWindow::sceneLamp(int n) const
{
    return lampIn(*window, "horizontalLayoutScenes", n);
}

void TestLightingWindow::checkLamp(SuperRGB *lamp, const SceneRecord &record, int n)
{
    const QColor colour = lamp->color();
    QCOMPARE(colour.red(), int(record.red(n)));
    QCOMPARE(colour.green(), int(record.green(n)));
    QCOMPARE(colour.blue(), int(record.blue(n)));
}

QByteArray TestLightingWindow::savedTable(const Tab &tab)
{
    const QString fileName = dir->filePath(tab.kind == Kind::Programs ? "saved.pgm" : "saved.scn");
    questions->answer(fileName);
    run(tab.save);
    const LightingFile::ReadResult result = LightingFile::load(fileName, tab.kind);
    if (result.status != LightingFile::Status::Ok)
        qWarning("saved file does not read back");
    return result.table;
}

void TestLightingWindow::loadTable(const Tab &tab, const QByteArray &table)
{
    const QString fileName = dir->filePath(tab.kind == Kind::Programs ? "load.pgm" : "load.scn");
    QCOMPARE(LightingFile::save(fileName, tab.kind, table), LightingFile::Status::Ok);
    questions->answer(fileName);
    run(tab.load);
}

// The question before edits would be given up is looked at by the tests of
// it; here it is left out.
void TestLightingWindow::checkOnlyMessage(const QString &title, const QString &text)
{
    QList<ScriptedQuestions::Question> messages = questions->messages();
    messages.removeIf([](const ScriptedQuestions::Question &q) { return q.title == "Unsaved changes"; });
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].icon, QMessageBox::Critical);
    QCOMPARE(messages[0].title, title);
    QCOMPARE(messages[0].label, text);
    QCOMPARE(messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(messages[0].defaultButton, QMessageBox::NoButton);
}

// ---- records -------------------------------------------------------------

void TestLightingWindow::firstChangeStoresTheFirstRecord()
{
    // The window starts showing program 1 scene 1: the first change keeps its edits.
    spin("spinBoxRiseTime")->setValue(555);
    programLamp(0)->setRedColor(10);
    spin("spinBoxSceneNumber")->setValue(2);
    QCOMPARE(spin("spinBoxRiseTime")->value(), 0);
    QCOMPARE(spin("spinBoxStaticTime")->value(), 0);
    QCOMPARE(spin("spinBoxEndMarker")->value(), 0);
    QCOMPARE(programLamp(0)->color().red(), 0);
    SceneRecord first{};
    first.setRiseTime(555);
    first.setLamp(0, 10, 0, 0);
    QByteArray expected(7680, '\0');
    setRecordAt(expected, 0, first);
    QCOMPARE(savedTable(ProgramsTab), expected);
}

void TestLightingWindow::changingRecordStoresShownOne()
{
    const QByteArray table = editableTable(160, 21);
    loadTable(ProgramsTab, table);           // shows (0, 0)
    spin("spinBoxSceneNumber")->setValue(2); // shows (0, 1)
    const SceneRecord shown = recordAt(table, 1);
    QCOMPARE(spin("spinBoxRiseTime")->value(), shown.riseTime());

    spin("spinBoxRiseTime")->setValue(1234);
    spin("spinBoxStaticTime")->setValue(5678);
    spin("spinBoxEndMarker")->setValue(shown.endMarker() ? 0 : 1);
    programLamp(3)->setRedColor(1);
    programLamp(3)->setGreenColor(2);
    programLamp(3)->setBlueColor(3);
    programLamp(11)->setBlueColor(250);
    spin("spinBoxProgramNumber")->setValue(2); // stores (0, 1), shows (1, 1)

    const SceneRecord next = recordAt(table, 20 + 1);
    QCOMPARE(spin("spinBoxRiseTime")->value(), next.riseTime());
    QCOMPARE(spin("spinBoxStaticTime")->value(), next.staticTime());
    QCOMPARE(spin("spinBoxEndMarker")->value(), int(next.endMarker()));
    for (int n = 0; n < SceneRecord::LampCount; ++n)
        checkLamp(programLamp(n), next, n);

    SceneRecord stored = shown;
    stored.setRiseTime(1234);
    stored.setStaticTime(5678);
    stored.setEndMarker(shown.endMarker() ? 0 : 1);
    stored.setLamp(3, 1, 2, 3);
    stored.setLamp(11, stored.red(11), stored.green(11), 250);
    QByteArray expected = table;
    setRecordAt(expected, 1, stored);
    QCOMPARE(savedTable(ProgramsTab), expected);
}

void TestLightingWindow::setRightAfterStartStoresFirstRecord()
{
    spin("spinBoxRiseTime")->setValue(300);
    spin("spinBoxEndMarker")->setValue(1);
    programLamp(0)->setRedColor(200);
    run(ProgramsTab.set);
    QVERIFY(questions->messages().isEmpty());

    SceneRecord expectedRecord{};
    expectedRecord.setRiseTime(300);
    expectedRecord.setEndMarker(1);
    expectedRecord.setLamp(0, 200, 0, 0);
    QByteArray expected(7680, '\0');
    setRecordAt(expected, 0, expectedRecord);
    QCOMPARE(unscrambled(vt->externalFlash(ProgramsAddress, 7680)), expected);

    // The next change stores the shown record again.
    spin("spinBoxRiseTime")->setValue(999);
    spin("spinBoxSceneNumber")->setValue(2);
    spin("spinBoxSceneNumber")->setValue(1);
    QCOMPARE(spin("spinBoxRiseTime")->value(), 999);
    expectedRecord.setRiseTime(999);
    setRecordAt(expected, 0, expectedRecord);
    QCOMPARE(savedTable(ProgramsTab), expected);
}

void TestLightingWindow::setScenesRightAfterStartStoresFirstScene()
{
    spin("spinBoxSceneStaticTime")->setValue(1000);
    sceneLamp(11)->setGreenColor(77);
    run(ScenesTab.set);
    SceneRecord expectedRecord{};
    expectedRecord.setStaticTime(1000);
    expectedRecord.setLamp(11, 0, 77, 0);
    QByteArray expected(384, '\0');
    setRecordAt(expected, 0, expectedRecord);
    QCOMPARE(unscrambled(vt->externalFlash(ScenesAddress, 384)), expected);
}

void TestLightingWindow::markerFromDeviceShowsAndStoresAsOne()
{
    QByteArray table = editableTable(160, 22);
    SceneRecord first = recordAt(table, 0);
    first.setEndMarker(7);
    setRecordAt(table, 0, first);
    vt->setExternalFlash(ProgramsAddress, scrambled(table));

    run(ProgramsTab.get);
    QVERIFY(questions->messages().isEmpty());
    QCOMPARE(spin("spinBoxEndMarker")->value(), 1);
    spin("spinBoxSceneNumber")->setValue(2); // stores (0, 0)
    run(ProgramsTab.set);

    QByteArray expected = table;
    first.setEndMarker(1);
    setRecordAt(expected, 0, first);
    QCOMPARE(unscrambled(vt->externalFlash(ProgramsAddress, 7680)), expected);
}

void TestLightingWindow::outOfRangeValuesAreClamped_data()
{
    QTest::addColumn<qint32>("riseTime");
    QTest::addColumn<qint32>("staticTime");
    QTest::addColumn<int>("shownRise");
    QTest::addColumn<int>("shownStatic");
    QTest::newRow("rise 200000") << 200000 << 5 << 100000 << 5;
    QTest::newRow("static 900001") << 7 << 900001 << 7 << 900000;
    QTest::newRow("negative") << -1 << qint32(0x80000000) << 0 << 0;
    QTest::newRow("upper limits") << 100000 << 900000 << 100000 << 900000;
}

void TestLightingWindow::outOfRangeValuesAreClamped()
{
    QFETCH(qint32, riseTime);
    QFETCH(qint32, staticTime);
    QFETCH(int, shownRise);
    QFETCH(int, shownStatic);

    for (const Tab &tab : {ProgramsTab, ScenesTab}) {
        QByteArray table(tab.length, '\0');
        SceneRecord record{};
        record.setRiseTime(riseTime);
        record.setStaticTime(staticTime);
        setRecordAt(table, 0, record);
        vt->setExternalFlash(tab.address, scrambled(table));
        run(tab.get);
    }
    QCOMPARE(spin("spinBoxRiseTime")->value(), shownRise);
    QCOMPARE(spin("spinBoxStaticTime")->value(), shownStatic);
    QCOMPARE(spin("spinBoxSceneRiseTime")->value(), shownRise);
    QCOMPARE(spin("spinBoxSceneStaticTime")->value(), shownStatic);

    // Storing writes the clamped values back.
    spin("spinBoxSceneNumber")->setValue(2);
    spin("spinBoxSceneSceneNumber")->setValue(2);
    for (const Tab &tab : {ProgramsTab, ScenesTab}) {
        const SceneRecord stored = recordAt(savedTable(tab), 0);
        QCOMPARE(stored.riseTime(), shownRise);
        QCOMPARE(stored.staticTime(), shownStatic);
    }
}

void TestLightingWindow::getTwiceDiscardsEdits()
{
    const QByteArray table = editableTable(160, 23);
    vt->setExternalFlash(ProgramsAddress, scrambled(table));
    spin("spinBoxProgramNumber")->setValue(3); // shows (2, 0) of the zero table
    run(ProgramsTab.get);
    const SceneRecord shown = recordAt(table, 2 * 20);
    QCOMPARE(spin("spinBoxRiseTime")->value(), shown.riseTime());

    QVERIFY(questions->messages().isEmpty()); // nothing to lose the first time
    const int edited = shown.riseTime() == 42 ? 43 : 42;
    spin("spinBoxRiseTime")->setValue(edited);
    programLamp(5)->setRedColor(shown.red(5) ^ 0x80);
    // Cancelled: nothing is read, the edits stay.
    questions->answerMessage(QMessageBox::Cancel);
    run(ProgramsTab.get);
    QCOMPARE(questions->messages().size(), 1);
    QCOMPARE(questions->messages()[0].title, QStringLiteral("Unsaved changes"));
    QCOMPARE(questions->messages()[0].buttons, QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    QCOMPARE(spin("spinBoxRiseTime")->value(), edited);
    // Discarded: the device's table replaces them.
    questions->answerMessage(QMessageBox::Discard);
    run(ProgramsTab.get);
    QCOMPARE(questions->messages().size(), 2);
    QCOMPARE(spin("spinBoxRiseTime")->value(), shown.riseTime());
    checkLamp(programLamp(5), shown, 5);
    QCOMPARE(savedTable(ProgramsTab), table);
}

void TestLightingWindow::sceneTabKeepsItsOwnState()
{
    const QByteArray table = editableTable(8, 24);
    loadTable(ScenesTab, table); // shows scene 0
    spin("spinBoxSceneSceneNumber")->setValue(8);
    const SceneRecord last = recordAt(table, 7);
    QCOMPARE(spin("spinBoxSceneRiseTime")->value(), last.riseTime());
    for (int n = 0; n < SceneRecord::LampCount; ++n)
        checkLamp(sceneLamp(n), last, n);

    spin("spinBoxSceneRiseTime")->setValue(10);
    sceneLamp(0)->setRedColor(9);
    // The Programs tab neither shows nor stores the Scenes tab, nor the reverse.
    spin("spinBoxSceneNumber")->setValue(4);
    QCOMPARE(spin("spinBoxSceneRiseTime")->value(), 10);
    spin("spinBoxSceneSceneNumber")->setValue(1);

    QByteArray expected = table;
    SceneRecord stored = last;
    stored.setRiseTime(10);
    stored.setLamp(0, 9, last.green(0), last.blue(0));
    setRecordAt(expected, 7, stored); // marker and reserved bytes as they were
    QCOMPARE(savedTable(ScenesTab), expected);
    QCOMPARE(savedTable(ProgramsTab), QByteArray(7680, '\0'));
}

// ---- device --------------------------------------------------------------

void TestLightingWindow::setWritesScrambledTable_data()
{
    QTest::addColumn<bool>("programs");
    QTest::newRow("programs") << true;
    QTest::newRow("scenes") << false;
}

void TestLightingWindow::setWritesScrambledTable()
{
    QFETCH(bool, programs);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    const QByteArray table = editableTable(tab.length / SceneRecord::Size, 25);
    loadTable(tab, table);
    const QByteArray before = vt->externalFlash(0x13F00, 0x2200);
    vt520sim::Bus::instance().clearTransferLog();

    run(tab.set);
    QVERIFY(questions->messages().isEmpty());
    QCOMPARE(window->statusBar()->currentMessage(),
             QString(programs ? "Programs" : "Scenes") + " written to the Vt520 at 1-4");
    const QByteArray stored = vt->externalFlash(tab.address, tab.length);
    QCOMPARE(stored, scrambled(table));
    // Nothing around the table was touched.
    QByteArray expectedFlash = before;
    expectedFlash.replace(int(tab.address - 0x13F00), tab.length, stored);
    QCOMPARE(vt->externalFlash(0x13F00, 0x2200), expectedFlash);

    int bytesSent = 0;
    for (const vt520sim::TransferRecord &record : vt520sim::Bus::instance().transferLog()) {
        if (record.request != 6 || record.bulk)
            continue;
        QCOMPARE(quint32(record.value) | quint32(record.index) << 16, tab.address + quint32(bytesSent));
        bytesSent += record.length;
    }
    QCOMPARE(bytesSent, tab.length);
    const QList<uint8_t> sequence = vendorRequestSequence();
    QCOMPARE(sequence.first(), uint8_t(9));
    QVERIFY(sequence.indexOf(7) < sequence.indexOf(6));
    QCOMPARE(sequence.last(), uint8_t(8));
}

void TestLightingWindow::noDeviceShowsTimeout_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("get programs") << 0;
    QTest::newRow("set programs") << 1;
    QTest::newRow("get scenes") << 2;
    QTest::newRow("set scenes") << 3;
}

// The fixed box stays; the status bar says why no table came.
void TestLightingWindow::claimedUnitIsNamedInTheStatusBar()
{
    vt->failClaimInterface(LIBUSB_ERROR_BUSY);
    run(ProgramsTab.get);
    checkOnlyMessage("Error", "USB Timeout\nCheck USB Cable");
    QCOMPARE(window->statusBar()->currentMessage(), "The Vt520 is in use by another program; close it and try again.");
}

void TestLightingWindow::noDeviceShowsTimeout()
{
    QFETCH(int, command);
    const Tab &tab = command < 2 ? ProgramsTab : ScenesTab;
    const bool get = command % 2 == 0;
    const QByteArray table = editableTable(tab.length / SceneRecord::Size, 26);
    loadTable(tab, table);
    auto &bus = vt520sim::Bus::instance();
    bus.reset();
    bus.useVirtualClock(true);

    const char *riseBox = tab.kind == Kind::Programs ? "spinBoxRiseTime" : "spinBoxSceneRiseTime";
    const int edited = recordAt(table, 0).riseTime() == 17 ? 18 : 17;
    spin(riseBox)->setValue(edited);
    if (get)
        questions->answerMessage(QMessageBox::Discard); // the edit may go, but no unit answers
    run(get ? tab.get : tab.set);

    checkOnlyMessage("Error", "USB Timeout\nCheck USB Cable");
    QCOMPARE(window->statusBar()->currentMessage(), "No Vt520 attached");
    QCOMPARE(bus.requestCount(8), 0);
    // Not re-shown: the edit stays on display, and saving takes it.
    QCOMPARE(spin(riseBox)->value(), edited);
    QCOMPARE(savedTable(tab), withFirstRise(table, edited));
}

void TestLightingWindow::failedReadReportsAndReleases_data()
{
    QTest::addColumn<bool>("programs");
    QTest::newRow("programs") << true;
    QTest::newRow("scenes") << false;
}

void TestLightingWindow::failedReadReportsAndReleases()
{
    QFETCH(bool, programs);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    const QByteArray table = editableTable(tab.length / SceneRecord::Size, 27);
    loadTable(tab, table);
    vt->setExternalFlash(tab.address, scrambled(editableTable(tab.length / SceneRecord::Size, 28)));
    const char *riseBox = programs ? "spinBoxRiseTime" : "spinBoxSceneRiseTime";
    const int edited = recordAt(table, 0).riseTime() == 17 ? 18 : 17;
    spin(riseBox)->setValue(edited);
    auto &bus = vt520sim::Bus::instance();
    bus.clearTransferLog();
    bus.failRequest(5, LIBUSB_ERROR_PIPE);

    questions->answerMessage(QMessageBox::Discard); // the edit may go, but the read fails
    run(tab.get);
    checkOnlyMessage("Error", "slotUpdateProgramScene");
    QCOMPARE(bus.requestCount(8), 1);
    QCOMPARE(vendorRequestSequence().last(), uint8_t(8));
    // The table is unchanged and the edit on display stays.
    QCOMPARE(spin(riseBox)->value(), edited);
    QCOMPARE(savedTable(tab), withFirstRise(table, edited));
}

void TestLightingWindow::failedWriteReportsAndReleases_data()
{
    QTest::addColumn<bool>("programs");
    QTest::newRow("programs") << true;
    QTest::newRow("scenes") << false;
}

void TestLightingWindow::failedWriteReportsAndReleases()
{
    QFETCH(bool, programs);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    const QByteArray table = editableTable(tab.length / SceneRecord::Size, 29);
    loadTable(tab, table);
    const char *riseBox = programs ? "spinBoxRiseTime" : "spinBoxSceneRiseTime";
    const int edited = recordAt(table, 0).riseTime() == 17 ? 18 : 17;
    spin(riseBox)->setValue(edited);
    auto &bus = vt520sim::Bus::instance();
    bus.clearTransferLog();
    bus.failRequest(6, LIBUSB_ERROR_PIPE);

    run(tab.set);
    checkOnlyMessage("Error", "WriteExternalFlashToAddress");
    QCOMPARE(window->statusBar()->currentMessage(),
             "Writing failed; the Vt520 may now hold part of the new table: write again.");
    QCOMPARE(bus.requestCount(8), 1);
    QCOMPARE(vendorRequestSequence().last(), uint8_t(8));
    // The shown record was stored before the write and stays so.
    QCOMPARE(savedTable(tab), withFirstRise(table, edited));
}

// A unit that leaves the bus for a moment during Get or Set (unplugged,
// back at once or after 500 ms) is waited for: the command completes as
// without the glitch.
void TestLightingWindow::unitBackFromAGlitchCompletes_data()
{
    QTest::addColumn<int>("command"); // 0 get programs, 1 set programs, 2 get scenes, 3 set scenes
    QTest::addColumn<QString>("faults");
    QTest::newRow("get programs, back at once") << 0 << "unplug 5 3 0";
    QTest::newRow("get programs, back after 500 ms") << 0 << "unplug 5 3 500";
    QTest::newRow("set programs, back at once") << 1 << "unplug 6 7 0";
    QTest::newRow("set programs, back after 500 ms") << 1 << "unplug 6 7 500";
    QTest::newRow("get scenes, back after 500 ms") << 2 << "unplug 5 1 500";
    QTest::newRow("set scenes, back after 500 ms") << 3 << "unplug 6 1 500";
    QTest::newRow("set scenes, release back after 500 ms") << 3 << "unplug 8 1 500";
}

void TestLightingWindow::unitBackFromAGlitchCompletes()
{
    QFETCH(int, command);
    QFETCH(QString, faults);
    const Tab &tab = command < 2 ? ProgramsTab : ScenesTab;
    const bool get = command % 2 == 0;
    const QByteArray onDevice = editableTable(tab.length / SceneRecord::Size, 40);
    const QByteArray inWindow = editableTable(tab.length / SceneRecord::Size, 41);
    vt->setExternalFlash(tab.address, scrambled(onDevice));
    loadTable(tab, inWindow);
    QVERIFY(applyFaults(faults));

    run(get ? tab.get : tab.set);

    QVERIFY2(questions->messages().isEmpty(), qPrintable(questions->messages().value(0).label));
    const QString done = tab.kind == Kind::Programs
                             ? (get ? "Programs read from the Vt520" : "Programs written to the Vt520")
                             : (get ? "Scenes read from the Vt520" : "Scenes written to the Vt520");
    QVERIFY2(window->statusBar()->currentMessage().startsWith(done), qPrintable(window->statusBar()->currentMessage()));
    QCOMPARE(vt->status() & 1u, 0u);
    vt520sim::Bus::instance().clearFaults();
    QCOMPARE(vt->externalFlash(tab.address, uint32_t(tab.length)), scrambled(get ? onDevice : inWindow));
    QCOMPARE(savedTable(tab), get ? onDevice : inWindow);
}

// A Get or Set after which the unit may still hold its host-access bit
// says so in the status bar and the log pane, with what clears it, in
// English and in Polish; the table's state is said as before.
void TestLightingWindow::hostAccessLeftSetIsSaid_data()
{
    QTest::addColumn<int>("command"); // 0 get programs, 1 set programs, 2 get scenes, 3 set scenes
    QTest::addColumn<QString>("faults");
    QTest::addColumn<QString>("language"); // empty: the built-in English
    QTest::addColumn<QString>("statusBar");
    QTest::addColumn<QString>("note"); // in the log pane

    const QString english = "The Vt520 may still have its host-access bit set: get or set the table again, or "
                            "unplug the Vt520 and plug it in again.";
    const QString polish = "Vt520 może nadal mieć ustawiony bit dostępu hosta: odczytaj lub zapisz tabelę "
                           "ponownie albo odłącz Vt520 i podłącz go ponownie.";
    QTest::newRow("set programs, write and release failed")
        << 1 << "io 6; stall 8"
        << ""
        << "Writing failed; the Vt520 may now hold part of the new table: write again. " + english << english;
    QTest::newRow("get scenes, read and release failed")
        << 2 << "io 5; stall 8"
        << ""
        << "Reading the scenes from the Vt520 failed; the table is unchanged. " + english << english;
    QTest::newRow("get programs, release failed") << 0 << "stall 8"
                                                  << ""
                                                  << "Programs read from the Vt520 at 1-4. " + english << english;
    QTest::newRow("set scenes, write and release failed, in Polish")
        << 3 << "io 6; stall 8"
        << "pl"
        << "Zapis nie powiódł się; Vt520 może teraz zawierać część nowej tabeli: zapisz ponownie. " + polish << polish;
    QTest::newRow("get programs, read and release failed, in Polish")
        << 0 << "io 5; stall 8"
        << "pl"
        << "Odczyt programów z Vt520 nie powiódł się; tabela nie została zmieniona. " + polish << polish;
}

void TestLightingWindow::hostAccessLeftSetIsSaid()
{
    QFETCH(int, command);
    QFETCH(QString, faults);
    QFETCH(QString, language);
    QFETCH(QString, statusBar);
    QFETCH(QString, note);
    const Tab &tab = command < 2 ? ProgramsTab : ScenesTab;
    const bool get = command % 2 == 0;
    QTranslator translator;
    if (!language.isEmpty()) {
        QVERIFY(translator.load("vt410_" + language + ".qm", QStringLiteral(VT520_BINARY_DIR "/bin")));
        QCoreApplication::installTranslator(&translator);
    }
    vt->setExternalFlash(tab.address, scrambled(editableTable(tab.length / SceneRecord::Size, 42)));
    QVERIFY(applyFaults(faults));

    run(get ? tab.get : tab.set);
    const QString shown = window->statusBar()->currentMessage();
    const QString log = window->findChild<QTextEdit *>("txt")->toPlainText();
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(shown, statusBar);
    QVERIFY2(log.split('\n').contains(note), qPrintable(log));
    QCOMPARE(vt->status() & 1u, 1u);
}

// ---- files ---------------------------------------------------------------

void TestLightingWindow::fileDialogsAskExactly_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("toolBarAction"); // empty: the button's slot
    QTest::newRow("save programs") << 0 << int(ScriptedQuestions::SaveFile) << "Save Programs File"
                                   << "Programs Files (*.pgm)" << QString();
    QTest::newRow("load programs") << 1 << int(ScriptedQuestions::OpenFile) << "Open Programs File"
                                   << "Programs Files (*.pgm)" << QString();
    QTest::newRow("save scenes") << 2 << int(ScriptedQuestions::SaveFile) << "Save Scenes File"
                                 << "Scens Files (*.scn)" << QString();
    QTest::newRow("load scenes") << 3 << int(ScriptedQuestions::OpenFile) << "Open Scenes File"
                                 << "Scens Files (*.scn)" << QString();
    QTest::newRow("tool bar save on programs") << 0 << int(ScriptedQuestions::SaveFile) << "Save Programs File"
                                               << "Programs Files (*.pgm)"
                                               << "actionSaveTable";
    QTest::newRow("tool bar open on scenes") << 3 << int(ScriptedQuestions::OpenFile) << "Open Scenes File"
                                             << "Scens Files (*.scn)"
                                             << "actionOpenTable";
}

void TestLightingWindow::fileDialogsAskExactly()
{
    QFETCH(int, command);
    QFETCH(int, kind);
    QFETCH(QString, caption);
    QFETCH(QString, filter);
    QFETCH(QString, toolBarAction);
    const Tab &tab = command < 2 ? ProgramsTab : ScenesTab;
    const char *riseBox = command < 2 ? "spinBoxRiseTime" : "spinBoxSceneRiseTime";
    spin(riseBox)->setValue(44);

    questions->cancel();
    questions->answerMessage(QMessageBox::Discard); // a load over the edit asks first
    if (toolBarAction.isEmpty()) {
        run(command % 2 == 0 ? tab.save : tab.load);
    } else {
        window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(command < 2 ? 1 : 2);
        action(qPrintable(toolBarAction))->trigger();
    }

    // The load's question about the edit comes before its dialog.
    questions->asked.removeIf(
        [](const ScriptedQuestions::Question &q) { return q.kind == ScriptedQuestions::Message; });
    QCOMPARE(questions->asked.size(), 1);
    QCOMPARE(int(questions->asked[0].kind), kind);
    QCOMPARE(questions->asked[0].title, caption);
    QCOMPARE(questions->asked[0].dir, QStringLiteral("."));
    QCOMPARE(questions->asked[0].filter, filter);
    // Cancelled: nothing written, nothing shown.
    QVERIFY(QDir(dir->path()).entryList(QDir::Files).isEmpty());
    QCOMPARE(spin(riseBox)->value(), 44);
}

void TestLightingWindow::saveAndLoadRoundTrip_data()
{
    QTest::addColumn<bool>("programs");
    QTest::newRow("programs") << true;
    QTest::newRow("scenes") << false;
}

void TestLightingWindow::saveAndLoadRoundTrip()
{
    QFETCH(bool, programs);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    // Any bytes at all, also values the editors could not show, except in
    // the shown record, which saving stores from the editors first.
    QByteArray table = randomTable(tab.length, 30);
    table.replace(0, SceneRecord::Size, editableTable(1, 30));
    loadTable(tab, table);
    QVERIFY(questions->messages().isEmpty());
    // A name without extension gets the kind's, or the open dialog would hide the file.
    questions->answer(dir->filePath("again"));
    run(tab.save);
    const QString fileName = dir->filePath(programs ? "again.pgm" : "again.scn");
    QVERIFY(!QFile::exists(dir->filePath("again")));
    QCOMPARE(readFile(fileName), readFile(dir->filePath(programs ? "load.pgm" : "load.scn")));
    QCOMPARE(LightingFile::load(fileName, tab.kind).table, table);
    // The loaded table is shown at once, from the record the spin boxes select.
    const SceneRecord first = recordAt(table, 0);
    for (int n = 0; n < SceneRecord::LampCount; ++n)
        checkLamp(programs ? programLamp(n) : sceneLamp(n), first, n);
}

void TestLightingWindow::saveTakesTheEditsOnDisplay()
{
    spin("spinBoxSceneNumber")->setValue(2); // shows (0, 1)
    spin("spinBoxRiseTime")->setValue(500);
    programLamp(4)->setRedColor(200);
    spin("spinBoxSceneSceneNumber")->setValue(3);
    spin("spinBoxSceneStaticTime")->setValue(1234);
    const SceneRecord program = recordAt(savedTable(ProgramsTab), 1);
    QCOMPARE(program.riseTime(), 500);
    QCOMPARE(int(program.red(4)), 200);
    QCOMPARE(recordAt(savedTable(ScenesTab), 2).staticTime(), 1234);
}

// What an operator does: edit a record, send the table to the device, save it,
// then in a fresh window load the file and read the device back.
void TestLightingWindow::editedProgramsSurviveDeviceAndFile()
{
    spin("spinBoxProgramNumber")->setValue(3);
    spin("spinBoxSceneNumber")->setValue(5); // shows (2, 4)
    for (int n = 0; n < SceneRecord::LampCount; ++n) {
        programLamp(n)->setRedColor(10 + n);
        programLamp(n)->setGreenColor(100 + n);
        programLamp(n)->setBlueColor(200 + n);
    }
    spin("spinBoxRiseTime")->setValue(4321);
    spin("spinBoxStaticTime")->setValue(65432);
    spin("spinBoxEndMarker")->setValue(1);
    run(ProgramsTab.set); // stores the shown record, then sends the table
    const QByteArray sent = savedTable(ProgramsTab);
    const QString fileName = dir->filePath("saved.pgm");
    QVERIFY(questions->messages().isEmpty());

    const SceneRecord edited = recordAt(sent, 2 * ScenesPerProgram + 4);
    for (int n = 0; n < SceneRecord::LampCount; ++n) {
        QCOMPARE(int(edited.red(n)), 10 + n);
        QCOMPARE(int(edited.green(n)), 100 + n);
        QCOMPARE(int(edited.blue(n)), 200 + n);
    }
    QCOMPARE(edited.riseTime(), 4321);
    QCOMPARE(edited.staticTime(), 65432);
    QCOMPARE(int(edited.endMarker()), 1);
    QByteArray onlyThatRecord(7680, '\0');
    onlyThatRecord.replace((2 * ScenesPerProgram + 4) * SceneRecord::Size, SceneRecord::Size,
                           QByteArray(reinterpret_cast<const char *>(edited.bytes), SceneRecord::Size));
    QCOMPARE(sent, onlyThatRecord); // nothing else changed

    for (int pass = 0; pass < 2; ++pass) {
        window = std::make_unique<Vt410_bootloader>();
        auto scripted = std::make_unique<ScriptedQuestions>();
        questions = scripted.get();
        window->setQuestions(std::move(scripted));
        spin("spinBoxProgramNumber")->setValue(3);
        spin("spinBoxSceneNumber")->setValue(5);
        if (pass == 0) {
            questions->answer(fileName);
            run(ProgramsTab.load);
        } else {
            run(ProgramsTab.get);
        }
        QVERIFY(questions->messages().isEmpty());
        for (int n = 0; n < SceneRecord::LampCount; ++n)
            checkLamp(programLamp(n), edited, n);
        QCOMPARE(spin("spinBoxRiseTime")->value(), 4321);
        QCOMPARE(spin("spinBoxEndMarker")->value(), 1);
        QCOMPARE(savedTable(ProgramsTab), sent);
    }
}

void TestLightingWindow::refusedFileLeavesTableAndTab_data()
{
    QTest::addColumn<bool>("programs");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    const auto fileOf = [](const QString &header, const QString &version, int payload) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QDataStream out(&buffer);
        out << header << version << QByteArray(payload, '\x5A');
        return bytes;
    };
    const QString pgm = "Vt410 Programs File";
    const QString scn = "Vt410 Scenes File";
    QTest::newRow("scenes file to programs") << true << fileOf(scn, "Version 01", 384) << "Wrong file header";
    QTest::newRow("programs file to scenes") << false << fileOf(pgm, "Version 01", 7680) << "Wrong file header";
    QTest::newRow("empty file") << true << QByteArray() << "Wrong file header";
    QTest::newRow("other number") << true << fileOf(pgm, "Version 02", 7680) << "Wrong version";
    QTest::newRow("other case") << false << fileOf(scn, "VERSION 01", 384) << "Wrong version";
    QTest::newRow("trailing blank") << true << fileOf(pgm, "Version 01 ", 7680) << "Wrong version";
    QTest::newRow("short programs payload") << true << fileOf(pgm, "Version 01", 7679) << "Wrong file size";
    QTest::newRow("short scenes payload") << false << fileOf(scn, "Version 01", 383) << "Wrong file size";
    QTest::newRow("programs file cut off") << true << fileOf(pgm, "Version 01", 7680).left(5000) << "Wrong file size";
}

void TestLightingWindow::refusedFileLeavesTableAndTab()
{
    QFETCH(bool, programs);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    const QByteArray table = editableTable(tab.length / SceneRecord::Size, 31);
    loadTable(tab, table);
    const char *riseBox = programs ? "spinBoxRiseTime" : "spinBoxSceneRiseTime";
    const int edited = recordAt(table, 0).riseTime() == 17 ? 18 : 17;
    spin(riseBox)->setValue(edited);

    const QString fileName = dir->filePath("refused");
    QVERIFY(writeFile(fileName, bytes));
    questions->answer(fileName);
    questions->answerMessage(QMessageBox::Discard); // the edit may go, but the file is refused
    run(tab.load);
    checkOnlyMessage("File error", text);
    QCOMPARE(spin(riseBox)->value(), edited);
    QCOMPARE(savedTable(tab), withFirstRise(table, edited));
}

void TestLightingWindow::unusableSaveTargetIsReported_data()
{
    QTest::addColumn<bool>("programs");
    QTest::addColumn<QString>("relativeName");
    QTest::newRow("programs, missing folder") << true << "missing/folder/p.pgm";
    QTest::newRow("scenes, missing folder") << false << "missing/s.scn";
    QTest::newRow("programs, target is a folder") << true << "folder.pgm";
    QTest::newRow("scenes, target is a folder") << false << "folder.scn";
}

void TestLightingWindow::unusableSaveTargetIsReported()
{
    QFETCH(bool, programs);
    QFETCH(QString, relativeName);
    QVERIFY(QDir(dir->path()).mkdir("folder.pgm") && QDir(dir->path()).mkdir("folder.scn"));
    const QString fileName = dir->filePath(relativeName);
    questions->answer(fileName);
    run(programs ? ProgramsTab.save : ScenesTab.save);

    const QList<ScriptedQuestions::Question> messages = questions->messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].icon, QMessageBox::Critical);
    QCOMPARE(messages[0].title, QStringLiteral("File error"));
    QVERIFY2(messages[0].label.contains(QDir::toNativeSeparators(fileName)), qPrintable(messages[0].label));
    QCOMPARE(messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(QFileInfo(dir->filePath("folder.pgm")).isDir());
    QVERIFY(QFileInfo(dir->filePath("folder.scn")).isDir());
}

// The process's file size limit stands in for a disk that fills up during
// the save (the tests run as root, whom permissions do not stop).
void TestLightingWindow::saveFailingPartWayKeepsOldFile()
{
    const QString fileName = dir->filePath("kept.pgm");
    const QByteArray oldTable = editableTable(160, 32);
    QCOMPARE(LightingFile::save(fileName, Kind::Programs, oldTable), LightingFile::Status::Ok);
    const QByteArray oldBytes = readFile(fileName);
    loadTable(ProgramsTab, editableTable(160, 33));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    questions->answer(fileName);
    run(ProgramsTab.save);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    const QList<ScriptedQuestions::Question> messages = questions->messages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(messages[0].title, QStringLiteral("File error"));
    QVERIFY(messages[0].label.contains(QDir::toNativeSeparators(fileName)));
    QCOMPARE(readFile(fileName), oldBytes);
}

// ---- editing -------------------------------------------------------------

void TestLightingWindow::select(bool programs, int index)
{
    window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(programs ? 1 : 2);
    if (programs) {
        spin("spinBoxProgramNumber")->setValue(index / 20 + 1);
        spin("spinBoxSceneNumber")->setValue(index % 20 + 1);
    } else {
        spin("spinBoxSceneSceneNumber")->setValue(index + 1);
    }
}

QAction *TestLightingWindow::action(const char *name) const
{
    auto *found = window->findChild<QAction *>(QLatin1String(name));
    if (!found)
        qFatal("no action %s", name);
    return found;
}

SceneOverview *TestLightingWindow::overview(bool programs) const
{
    auto *found = window->findChild<SceneOverview *>(programs ? "programOverview" : "sceneOverview");
    if (!found)
        qFatal("no overview");
    return found;
}

void TestLightingWindow::overviewShowsTableAndDisplay_data()
{
    QTest::addColumn<bool>("programs");
    QTest::newRow("programs") << true;
    QTest::newRow("scenes") << false;
}

void TestLightingWindow::overviewShowsTableAndDisplay()
{
    QFETCH(bool, programs);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    const QByteArray table = editableTable(tab.length / SceneRecord::Size, 40);
    loadTable(tab, table);
    const int first = programs ? 2 * 20 : 0; // program 3 of 8
    select(programs, first + 4);
    SceneOverview *shown = overview(programs);
    QCOMPARE(shown->currentScene(), 4);
    for (int scene = 0; scene < shown->sceneCount(); ++scene) {
        const SceneRecord record = recordAt(table, first + scene);
        for (int n = 0; n < SceneRecord::LampCount; ++n)
            QCOMPARE(shown->cellColour(scene, n), QColor(record.red(n), record.green(n), record.blue(n)));
        QCOMPARE(shown->endMarkerAt(scene), programs && record.endMarker() != 0);
    }

    // Edits on display show at once, before they reach the table.
    lamp(programs, 7)->setGreenColor(recordAt(table, first + 4).green(7) ^ 0x55);
    QCOMPARE(shown->cellColour(4, 7), lamp(programs, 7)->color());
    if (programs) {
        const bool marker = shown->endMarkerAt(4);
        spin("spinBoxEndMarker")->setValue(marker ? 0 : 1);
        QCOMPARE(shown->endMarkerAt(4), !marker);
    }
}

void TestLightingWindow::overviewSelectsThroughSpinBox_data()
{
    overviewShowsTableAndDisplay_data();
}

void TestLightingWindow::overviewSelectsThroughSpinBox()
{
    QFETCH(bool, programs);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    const QByteArray table = editableTable(tab.length / SceneRecord::Size, 41);
    loadTable(tab, table);
    select(programs, 1);
    lamp(programs, 0)->setRedColor(recordAt(table, 1).red(0) ^ 0xFF);
    QSpinBox *number = spin(programs ? "spinBoxSceneNumber" : "spinBoxSceneSceneNumber");
    SceneOverview *shown = overview(programs);

    QTest::mouseClick(shown, Qt::LeftButton, {}, shown->cellRect(5, 6).center());
    QCOMPARE(number->value(), 6);
    QCOMPARE(shown->currentScene(), 5);
    for (int n = 0; n < SceneRecord::LampCount; ++n)
        checkLamp(lamp(programs, n), recordAt(table, 5), n);
    QTest::keyClick(shown, Qt::Key_Left);
    QCOMPARE(number->value(), 5);
    QTest::keyClick(shown, Qt::Key_End);
    QCOMPARE(number->value(), shown->sceneCount());
    QTest::keyClick(shown, Qt::Key_Right);
    QCOMPARE(number->value(), shown->sceneCount());

    // Leaving scene 2 stored its edit by the usual rule, and nothing else.
    QByteArray expected = table;
    SceneRecord edited = recordAt(table, 1);
    edited.setLamp(0, edited.red(0) ^ 0xFF, edited.green(0), edited.blue(0));
    setRecordAt(expected, 1, edited);
    QCOMPARE(savedTable(tab), expected);
}

void TestLightingWindow::copyPasteGivesIdenticalRecords_data()
{
    QTest::addColumn<bool>("fromPrograms");
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("toPrograms");
    QTest::addColumn<int>("to");
    QTest::newRow("program scene to program scene") << true << 1 * 20 + 2 << true << 5 * 20 + 7;
    QTest::newRow("program scene to stand-alone scene") << true << 3 << false << 6;
    QTest::newRow("stand-alone scene to program scene") << false << 2 << true << 7 * 20 + 19;
    QTest::newRow("stand-alone scene to stand-alone scene") << false << 1 << false << 4;
}

void TestLightingWindow::copyPasteGivesIdenticalRecords()
{
    QFETCH(bool, fromPrograms);
    QFETCH(int, from);
    QFETCH(bool, toPrograms);
    QFETCH(int, to);
    QByteArray tables[2] = {editableTable(160, 42), editableTable(8, 43)};
    loadTable(ProgramsTab, tables[0]);
    loadTable(ScenesTab, tables[1]);
    QVERIFY(!action("actionCopyScene")->isEnabled()); // Settings tab

    // The copy takes the edits on display.
    select(fromPrograms, from);
    lamp(fromPrograms, 2)->setRGB(1, 2, 3);
    spin(fromPrograms ? "spinBoxStaticTime" : "spinBoxSceneStaticTime")->setValue(4321);
    action("actionCopyScene")->trigger();
    select(toPrograms, to);
    action("actionPasteScene")->trigger();

    SceneRecord source = recordAt(tables[fromPrograms ? 0 : 1], from);
    source.setLamp(2, 1, 2, 3);
    source.setStaticTime(4321);
    if (fromPrograms == toPrograms) // stored on leaving it
        setRecordAt(tables[fromPrograms ? 0 : 1], from, source);
    // Lamps and times always; the End Marker between program scenes, 0 from a
    // stand-alone scene; a target's reserved bytes (and a stand-alone
    // scene's marker byte) stay.
    SceneRecord expected = recordAt(tables[toPrograms ? 0 : 1], to);
    memcpy(expected.bytes, source.bytes, 44);
    if (toPrograms)
        expected.setEndMarker(fromPrograms ? source.endMarker() : 0);
    setRecordAt(tables[toPrograms ? 0 : 1], to, expected);
    for (int n = 0; n < SceneRecord::LampCount; ++n)
        checkLamp(lamp(toPrograms, n), expected, n);
    QCOMPARE(savedTable(toPrograms ? ProgramsTab : ScenesTab), tables[toPrograms ? 0 : 1]);
}

void TestLightingWindow::cutAndBlackoutChangeTheirFields_data()
{
    QTest::addColumn<bool>("programs");
    QTest::addColumn<bool>("cut");
    QTest::newRow("blackout program scene") << true << false;
    QTest::newRow("blackout stand-alone scene") << false << false;
    QTest::newRow("cut program scene") << true << true;
    QTest::newRow("cut stand-alone scene") << false << true;
}

void TestLightingWindow::cutAndBlackoutChangeTheirFields()
{
    QFETCH(bool, programs);
    QFETCH(bool, cut);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    QByteArray table = editableTable(tab.length / SceneRecord::Size, 44);
    loadTable(tab, table);
    select(programs, 5);
    spin(programs ? "spinBoxRiseTime" : "spinBoxSceneRiseTime")->setValue(777);
    SceneRecord shown = recordAt(table, 5);
    shown.setRiseTime(777);

    action(cut ? "actionCutScene" : "actionBlackout")->trigger();
    SceneRecord expected = shown;
    for (int n = 0; n < SceneRecord::LampCount; ++n)
        expected.setLamp(n, 0, 0, 0);
    if (cut) {
        expected.setRiseTime(0);
        expected.setStaticTime(0);
        const auto kind = programs ? SceneClip::Kind::ProgramScene : SceneClip::Kind::StandaloneScene;
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(SceneClip::MimeType),
                 SceneClip::copy(shown, kind).toBytes());
    }
    for (int n = 0; n < SceneRecord::LampCount; ++n)
        checkLamp(lamp(programs, n), expected, n);
    setRecordAt(table, 5, expected);
    QCOMPARE(savedTable(tab), table);
}

void TestLightingWindow::undoAndRedoEachEdit_data()
{
    QTest::addColumn<bool>("programs");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("step");
    const QStringList recordEdits{"slider drag", "typed value", "plus button", "XFade",   "Scene Time",
                                  "End Marker",  "Paste",       "Cut",         "Blackout"};
    const QStringList steps{"Lamp 4",     "Lamp 4", "Lamp 4", "XFade",   "Scene Time",
                            "End Marker", "Paste",  "Cut",    "Blackout"};
    for (bool programs : {true, false}) {
        const char *tab = programs ? "programs" : "scenes";
        for (int n = 0; n < recordEdits.size(); ++n) {
            if (!programs && recordEdits[n] == "End Marker")
                continue;
            QTest::addRow("%s: %s", tab, qPrintable(recordEdits[n])) << programs << recordEdits[n] << steps[n];
        }
        QTest::addRow("%s: load", tab) << programs << "load"
                                       << "Load from File";
        QTest::addRow("%s: get", tab) << programs << "get"
                                      << "Get from Vt520";
    }
}

// One undo takes back exactly one edit (a drag or a run of typing is one
// step), shows the record it changes and gives back the table byte for
// byte; redo puts the edit back. A record edit undone returns to the clean
// point, so the title loses its mark.
void TestLightingWindow::undoAndRedoEachEdit()
{
    QFETCH(bool, programs);
    QFETCH(QString, edit);
    QFETCH(QString, step);
    const Tab &tab = programs ? ProgramsTab : ScenesTab;
    const int records = tab.length / SceneRecord::Size;
    const QByteArray original = editableTable(records, 46);
    const QByteArray other = editableTable(records, 47);
    loadTable(tab, original);
    select(programs, 6);
    action("actionCopyScene")->trigger();
    select(programs, 5);

    SuperRGB *editor = lamp(programs, 3);
    if (edit == "slider drag") {
        auto *slider = editor->findChild<QSlider *>("SliderRed");
        QTest::mousePress(slider, Qt::LeftButton, {}, slider->rect().center());
        for (int value : {10, 20, 30})
            slider->setValue(value);
        QTest::mouseRelease(slider, Qt::LeftButton, {}, slider->rect().center());
    } else if (edit == "typed value") {
        auto *field = editor->findChild<QLineEdit *>("EditGreen");
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, "123");
    } else if (edit == "plus button") {
        QTest::mouseClick(editor->findChild<QPushButton *>("ButtonBPlus"), Qt::LeftButton);
    } else if (edit == "XFade" || edit == "Scene Time" || edit == "End Marker") {
        const char *name = edit == "XFade"        ? (programs ? "spinBoxRiseTime" : "spinBoxSceneRiseTime")
                           : edit == "Scene Time" ? (programs ? "spinBoxStaticTime" : "spinBoxSceneStaticTime")
                                                  : "spinBoxEndMarker";
        spin(name)->setValue(spin(name)->value() == 1 ? 0 : 1);
    } else if (edit == "Paste" || edit == "Cut" || edit == "Blackout") {
        action(edit == "Paste" ? "actionPasteScene" : edit == "Cut" ? "actionCutScene" : "actionBlackout")->trigger();
    } else if (edit == "load") {
        loadTable(tab, other);
    } else {
        vt->setExternalFlash(tab.address, scrambled(other));
        questions->answerMessage(QMessageBox::Discard);
        run(tab.get);
    }
    const bool tableStep = edit == "load" || edit == "get";
    QVERIFY(shownTitle(*window).endsWith('*') != tableStep);

    // Undo from another record.
    select(programs, 7);
    QCOMPARE(action("actionUndo")->text(), "Undo " + step);
    action("actionUndo")->trigger();
    QCOMPARE(spin(programs ? "spinBoxSceneNumber" : "spinBoxSceneSceneNumber")->value(), (tableStep ? 7 : 5) + 1);
    QCOMPARE(shownTitle(*window).endsWith('*'), tableStep);
    QCOMPARE(action("actionRedo")->text(), "Redo " + step);
    const QByteArray edited = [&] {
        action("actionRedo")->trigger();
        QByteArray table = savedTable(tab);
        action("actionUndo")->trigger();
        return table;
    }();
    QVERIFY(edited != original);
    QCOMPARE(savedTable(tab), original);
    action("actionRedo")->trigger();
    QCOMPARE(savedTable(tab), edited);
    if (tableStep)
        QCOMPARE(edited, other);
}

void TestLightingWindow::filesFromOutsideGoToTheirTab_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("kind"); // 0 programs, 1 scenes, 2 neither, 3 upgrade
    QTest::addColumn<QString>("name");
    QTest::newRow("argument, programs named .scn") << "argument" << 0 << "venue.scn";
    QTest::newRow("argument, neither") << "argument" << 2 << "notes.pgm";
    QTest::newRow("argument, upgrade") << "argument" << 3 << "release.upg";
    QTest::newRow("drop, scenes named .pgm") << "drop" << 1 << "show.pgm";
    QTest::newRow("drop, neither") << "drop" << 2 << "notes.scn";
    QTest::newRow("open recent, scenes") << "recent" << 1 << "show.scn";
}

// The header tells the kind whatever the name says; a file of neither kind
// is refused with its name and changes nothing.
void TestLightingWindow::filesFromOutsideGoToTheirTab()
{
    QFETCH(QString, way);
    QFETCH(int, kind);
    QFETCH(QString, name);
    const QByteArray programs = editableTable(160, 48);
    const QByteArray scenes = editableTable(8, 49);
    const QString fileName = dir->filePath(name);
    if (kind == 2)
        QVERIFY(writeFile(fileName, "not a lighting file"));
    else if (kind == 3)
        QVERIFY(UpgradeFile::write(fileName, QByteArray(UpgradeImage::Size, '\0')));
    else
        QCOMPARE(LightingFile::save(fileName, kind == 0 ? Kind::Programs : Kind::Scenes, kind == 0 ? programs : scenes),
                 LightingFile::Status::Ok);

    if (way == "argument") {
        // The firmware change an upgrade file is offered for is declined.
        if (kind == 3)
            questions->answerMessage(QMessageBox::No);
        window->openFiles({fileName});
    } else if (way == "drop") {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(fileName)});
        // The drop reaches the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
    } else {
        RecentFiles().add(fileName);
        auto *menu = window->findChild<QMenu *>("menuOpenRecent");
        QVERIFY(menu);
        emit menu->aboutToShow();
        QCOMPARE(menu->actions().value(0)->toolTip(), QDir::toNativeSeparators(fileName));
        menu->actions().value(0)->trigger();
    }

    auto *tabs = window->findChild<QTabWidget *>("tabWidget");
    if (kind == 3) {
        const QList<ScriptedQuestions::Question> messages = questions->messages();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].icon, QMessageBox::Question);
        QCOMPARE(messages[0].title, QStringLiteral("Firmware Change"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(savedTable(ProgramsTab), QByteArray(7680, '\0'));
        return;
    }
    if (kind == 2) {
        checkOnlyMessage("File error", "The file " + QDir::toNativeSeparators(fileName)
                                           + " is neither a programs file nor a scenes file; it was not opened.");
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(savedTable(ProgramsTab), QByteArray(7680, '\0'));
        return;
    }
    QVERIFY(questions->messages().isEmpty());
    QCOMPARE(tabs->currentIndex(), kind == 0 ? 1 : 2);
    QCOMPARE(shownTitle(*window), "Vt520 ver. 1.03 - " + name);
    QCOMPARE(savedTable(kind == 0 ? ProgramsTab : ScenesTab), kind == 0 ? programs : scenes);
}

void TestLightingWindow::openRecentDropsMissingFiles()
{
    const QByteArray table = editableTable(8, 50);
    const QString kept = dir->filePath("kept.scn");
    const QString gone = dir->filePath("gone.scn");
    for (const QString &file : {gone, kept}) {
        QCOMPARE(LightingFile::save(file, Kind::Scenes, table), LightingFile::Status::Ok);
        RecentFiles().add(file);
    }
    QVERIFY(QFile::remove(gone));
    auto *menu = window->findChild<QMenu *>("menuOpenRecent");
    emit menu->aboutToShow();
    QStringList listed;
    for (QAction *entry : menu->actions())
        listed << entry->toolTip();
    QVERIFY(listed.contains(QDir::toNativeSeparators(kept)));
    QVERIFY(!listed.contains(QDir::toNativeSeparators(gone)));
    QVERIFY(!RecentFiles().files().contains(QFileInfo(gone).absoluteFilePath()));
    QVERIFY(window->statusBar()->currentMessage().contains("gone.scn"));
    // The dialogs start where the last file of their kind was.
    questions->answer(QString());
    run(ScenesTab.load);
    QCOMPARE(questions->asked.value(0).dir, QFileInfo(kept).absolutePath());
}

// Copy, cut and paste keys in a text field act on its text; elsewhere on
// the Programs tab they act on scenes.
void TestLightingWindow::textFieldsKeepTheirShortcuts()
{
    const QByteArray table = editableTable(160, 45);
    loadTable(ProgramsTab, table);
    select(true, 0);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();

    overview(true)->setFocus();
    QTest::keyClick(overview(true), Qt::Key_C, Qt::ControlModifier);
    const QByteArray scene = clipboard->mimeData()->data(SceneClip::MimeType);
    QCOMPARE(scene, SceneClip::copy(recordAt(table, 0), SceneClip::Kind::ProgramScene).toBytes());

    select(true, 1);
    auto *data = new QMimeData;
    data->setText(QStringLiteral("45"));
    data->setData(SceneClip::MimeType, scene);
    clipboard->setMimeData(data);
    auto *field = programLamp(0)->findChild<QLineEdit *>("EditRed");
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field->text(), QStringLiteral("45"));
    QCOMPARE(programLamp(0)->color().red(), 45);
    checkLamp(programLamp(1), recordAt(table, 1), 1); // no scene was pasted

    field->selectAll();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("45"));
    QVERIFY(!clipboard->mimeData()->hasFormat(SceneClip::MimeType));
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(field->text(), QString());
    QCOMPARE(clipboard->text(), QStringLiteral("45"));
    checkLamp(programLamp(1), recordAt(table, 1), 1);
}

// The title names the shown table's file and marks it while it differs from
// what was last loaded, saved, read or written; Save writes to that file
// without asking.
void TestLightingWindow::titleShowsFileAndMark()
{
    window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1); // Programs
    QCOMPARE(shownTitle(*window), QStringLiteral("Vt520 ver. 1.03 - untitled"));
    spin("spinBoxRiseTime")->setValue(321);
    QCOMPARE(shownTitle(*window), QStringLiteral("Vt520 ver. 1.03 - untitled*"));
    spin("spinBoxRiseTime")->setValue(0); // back as it was: nothing to save
    QCOMPARE(shownTitle(*window), QStringLiteral("Vt520 ver. 1.03 - untitled"));

    spin("spinBoxRiseTime")->setValue(321);
    questions->answer(dir->filePath("venue"));
    action("actionSaveTable")->trigger();
    QCOMPARE(questions->asked.size(), 1); // no file yet: asked for one
    QCOMPARE(shownTitle(*window), QStringLiteral("Vt520 ver. 1.03 - venue.pgm"));

    programLamp(2)->setBlueColor(77);
    QCOMPARE(shownTitle(*window), QStringLiteral("Vt520 ver. 1.03 - venue.pgm*"));
    action("actionSaveTable")->trigger();
    QCOMPARE(questions->asked.size(), 1); // its own file: no dialog
    QCOMPARE(shownTitle(*window), QStringLiteral("Vt520 ver. 1.03 - venue.pgm"));
    const SceneRecord saved = recordAt(LightingFile::load(dir->filePath("venue.pgm"), Kind::Programs).table, 0);
    QCOMPARE(saved.riseTime(), 321);
    QCOMPARE(int(saved.blue(2)), 77);

    // The Scenes tab has its own document.
    window->findChild<QTabWidget *>("tabWidget")->setCurrentIndex(2);
    QCOMPARE(shownTitle(*window), QStringLiteral("Vt520 ver. 1.03 - untitled"));
}

void TestLightingWindow::closeAsksBeforeLosingEdits_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("save") << int(QMessageBox::Save) << true << true;
    QTest::newRow("discard") << int(QMessageBox::Discard) << true << false;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false << false;
}

void TestLightingWindow::closeAsksBeforeLosingEdits()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    window->show();
    QVERIFY(window->close()); // nothing to lose: no question
    QVERIFY(questions->messages().isEmpty());

    window->show();
    spin("spinBoxSceneStaticTime")->setValue(4321);
    questions->answerMessage(QMessageBox::StandardButton(answer));
    questions->answer(dir->filePath("show.scn"));
    QCOMPARE(window->close(), closed);
    QCOMPARE(questions->messages().size(), 1);
    QCOMPARE(questions->messages()[0].title, QStringLiteral("Unsaved changes"));
    QCOMPARE(QFile::exists(dir->filePath("show.scn")), saved);
    if (saved)
        QCOMPARE(recordAt(LightingFile::load(dir->filePath("show.scn"), Kind::Scenes).table, 0).staticTime(), 4321);
    QCOMPARE(window->isVisible(), !closed);
}

// The status bar shows whether a unit is attached, and follows an unplug and
// a replug without a transfer of its own.
void TestLightingWindow::attachedUnitInTheStatusBar()
{
    auto *field = window->findChild<QLabel *>("labelAttachedUnit");
    QVERIFY(field);
    QCOMPARE(field->text(), QStringLiteral("Vt520 at 1-4"));
    auto &bus = vt520sim::Bus::instance();
    bus.clearTransferLog();
    vt->unplug();
    QTRY_COMPARE_WITH_TIMEOUT(field->text(), QStringLiteral("No Vt520 attached"), 5000);
    vt->replug();
    QTRY_COMPARE_WITH_TIMEOUT(field->text(), QStringLiteral("Vt520 at 1-4"), 5000);
    QVERIFY(bus.transferLog().isEmpty());
}

QTEST_MAIN(TestLightingWindow)
#include "test_lightingwindow.moc"
