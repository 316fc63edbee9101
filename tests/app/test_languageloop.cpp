#include "ShownTitle.h"
#include "ScriptedQuestions.h"
#include "app/LanguageRestartLoop.h"
#include "app/Vt410_bootloader.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>
#include <QtTest>

class TestLanguageLoop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void catalogueNames_data();
    void catalogueNames();
    void firstPassFollowsTheLocale_data();
    void firstPassFollowsTheLocale();
    void languageMenuRebuildsTheWindow();
    void languageSwitchKeepsTheWork();
    void languageSwitchKeepsTheUndoHistory();
    void catalogueFallsBackToTheInstalledFolder_data();
    void catalogueFallsBackToTheInstalledFolder();
    void installedProgramFindsItsCatalogues_data();
    void installedProgramFindsItsCatalogues();
    void placementIsKept_data();
    void placementIsKept();
    void firstStartShowsAllLamps();

private:
    QString previousDirectory;
    // The program's settings, here instead of the user's.
    QTemporaryDir settingsDirectory;
};

void TestLanguageLoop::initTestCase()
{
    // The program looks its catalogues up in the current directory.
    previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QStringLiteral(VT520_BINARY_DIR "/bin")));
    QVERIFY(QFile::exists(QStringLiteral("vt410_pl.qm")));
    QVERIFY(settingsDirectory.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsDirectory.path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDirectory.path());
    QCoreApplication::setOrganizationName(QStringLiteral("Vt520"));
    QCoreApplication::setApplicationName(QStringLiteral("vt520-config"));
}

void TestLanguageLoop::init()
{
    // Each test starts as a first start: no placement from the one before.
    QSettings().clear();
}

void TestLanguageLoop::cleanupTestCase()
{
    QDir::setCurrent(previousDirectory);
}

void TestLanguageLoop::catalogueNames_data()
{
    QTest::addColumn<int>("previousResult");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first pass, Polish system") << 0 << "pl_PL"
                                               << "vt410_pl_PL";
    QTest::newRow("first pass, German system") << 0 << "de_DE"
                                               << "vt410_de_DE";
    QTest::newRow("Polish chosen") << -11 << "de_DE"
                                   << "vt410_pl";
    QTest::newRow("English chosen") << -12 << "pl_PL"
                                    << "vt410_en";
}

void TestLanguageLoop::catalogueNames()
{
    QFETCH(int, previousResult);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(catalogueBaseName(previousResult, locale), expected);
}

void TestLanguageLoop::firstPassFollowsTheLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("cancel"); // the toolkit's own button text
    QTest::newRow("no catalogue for German") << "de_DE"
                                             << "Firmware Change"
                                             << "Vt520 ver. 1.03"
                                             << "Cancel";
    QTest::newRow("Polish") << "pl_PL" << QString::fromUtf8("Zmiana firmware") << "Vt520 wer. 1.03"
                            << "Anuluj";
    QTest::newRow("English") << "en_GB"
                             << "Firmware Change"
                             << "Vt520 ver. 1.03"
                             << "Cancel";
}

void TestLanguageLoop::firstPassFollowsTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    QFETCH(QString, cancel);
    QString seenCaption;
    QString seenTitle;
    QString seenCancel;
    const int result = runLanguageRestartLoop(locale, [&](Vt410_bootloader &window) {
        seenCaption = window.findChild<QPushButton *>(QStringLiteral("pushButtonCHF"))->text();
        seenTitle = shownTitle(window);
        seenCancel = QCoreApplication::translate("QPlatformTheme", "Cancel");
        QTimer::singleShot(0, &window, &QWidget::close);
    });
    QCOMPARE(result, 0);
    QCOMPARE(seenCaption, caption);
    QCOMPARE(seenTitle, title);
    QCOMPARE(seenCancel, cancel);
}

void TestLanguageLoop::languageMenuRebuildsTheWindow()
{
    // English -> Polish -> Polish again -> English -> close.
    const QStringList actions{"actionPolish", "actionPolish", "actionEnglish", "actionClose"};
    QStringList captions;
    QStringList checked; // the language the menu marks in each pass
    QList<int> programNumbers;
    int pass = 0;
    const int result = runLanguageRestartLoop(QStringLiteral("de_DE"), [&](Vt410_bootloader &window) {
        captions << window.findChild<QPushButton *>(QStringLiteral("pushButtonCHF"))->text();
        for (const char *name : {"actionPolish", "actionEnglish"})
            if (window.findChild<QAction *>(name)->isChecked())
                checked << name;
        auto *program = window.findChild<QSpinBox *>(QStringLiteral("spinBoxProgramNumber"));
        programNumbers << program->value();
        program->setValue(5); // kept across a restart
        const QString next = actions.value(pass++);
        QTimer::singleShot(0, &window, [&window, next] { window.findChild<QAction *>(next)->trigger(); });
    });
    QCOMPARE(result, 0);
    const QString polish = QString::fromUtf8("Zmiana firmware");
    QCOMPARE(captions, (QStringList{"Firmware Change", polish, polish, "Firmware Change"}));
    QCOMPARE(programNumbers, (QList<int>{1, 5, 5, 5}));
    QCOMPARE(checked, (QStringList{"actionEnglish", "actionPolish", "actionPolish", "actionEnglish"}));
}

// Edits on display, both tables, the shown records and the log pane reach
// the window of the other language.
void TestLanguageLoop::languageSwitchKeepsTheWork()
{
    struct Seen {
        QList<int> numbers;
        int tab = -1;
        int rise = -1;
        int sceneStatic = -1;
        QColor lamp;
        QString log;
        QString title;
        int programColumn = -1; // the scenes the overviews mark
        int sceneColumn = -1;
    };
    QList<Seen> seen;
    const auto lampOf = [](Vt410_bootloader &window, const char *layout) {
        return qobject_cast<SuperRGB *>(window.findChild<QHBoxLayout *>(layout)->itemAt(3)->widget());
    };
    const int result = runLanguageRestartLoop(QStringLiteral("de_DE"), [&](Vt410_bootloader &window) {
        const auto spin = [&window](const char *name) { return window.findChild<QSpinBox *>(name); };
        Seen now;
        for (const char *name : {"spinBoxProgramNumber", "spinBoxSceneNumber", "spinBoxSceneSceneNumber"})
            now.numbers << spin(name)->value();
        now.tab = window.findChild<QTabWidget *>("tabWidget")->currentIndex();
        now.rise = spin("spinBoxRiseTime")->value();
        now.sceneStatic = spin("spinBoxSceneStaticTime")->value();
        now.lamp = lampOf(window, "horizontalLayout")->color();
        now.log = window.findChild<QTextBrowser *>("txt")->toPlainText();
        now.title = shownTitle(window);
        now.programColumn = window.findChild<SceneOverview *>("programOverview")->currentScene();
        now.sceneColumn = window.findChild<SceneOverview *>("sceneOverview")->currentScene();
        seen << now;
        if (seen.size() == 1) {
            // Program 2 scene 7 edited and left (stored), program 3 scene 4
            // and stand-alone scene 5 edited on display only.
            spin("spinBoxProgramNumber")->setValue(2);
            spin("spinBoxSceneNumber")->setValue(7);
            spin("spinBoxRiseTime")->setValue(111);
            spin("spinBoxProgramNumber")->setValue(3);
            spin("spinBoxSceneNumber")->setValue(4);
            spin("spinBoxRiseTime")->setValue(777);
            lampOf(window, "horizontalLayout")->setGreenColor(99);
            spin("spinBoxSceneSceneNumber")->setValue(5);
            spin("spinBoxSceneStaticTime")->setValue(1234);
            window.findChild<QTextBrowser *>("txt")->append("first line");
            window.findChild<QTextBrowser *>("txt")->append("<b>second</b> line");
            window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
        } else {
            // The edits carried over are unsaved: the close asks, and gives them up.
            auto questions = std::make_unique<ScriptedQuestions>();
            questions->answerMessage(QMessageBox::Discard);
            questions->answerMessage(QMessageBox::Discard);
            window.setQuestions(std::move(questions));
            spin("spinBoxProgramNumber")->setValue(2);
            spin("spinBoxSceneNumber")->setValue(7);
            now.rise = spin("spinBoxRiseTime")->value();
            seen << now;
        }
        const char *next = seen.size() == 1 ? "actionPolish" : "actionClose";
        QTimer::singleShot(0, &window, [&window, next] { window.findChild<QAction *>(next)->trigger(); });
    });
    QCOMPARE(result, 0);
    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen[0].numbers, (QList<int>{1, 1, 1}));
    QCOMPARE(seen[1].numbers, (QList<int>{3, 4, 5}));
    // The overviews mark the scenes the spin boxes select.
    QCOMPARE(seen[1].programColumn, 3);
    QCOMPARE(seen[1].sceneColumn, 4);
    QCOMPARE(seen[0].tab, 0);
    QCOMPARE(seen[1].tab, 1);
    QCOMPARE(seen[1].rise, 777);
    QCOMPARE(seen[1].lamp, QColor(0, 99, 0));
    QCOMPARE(seen[1].sceneStatic, 1234);
    QCOMPARE(seen[1].log, "first line\nsecond line");
    QCOMPARE(seen[2].rise, 111);
    QVERIFY2(seen[0].title.endsWith("ver. 1.03"), qPrintable(seen[0].title));
    QVERIFY2(seen[1].title.endsWith("*"), qPrintable(seen[1].title)); // still modified after the switch
}

// Three edits, the last one undone, before the switch to Polish; the new
// window undoes the second edit and redoes both, in its own language.
void TestLanguageLoop::languageSwitchKeepsTheUndoHistory()
{
    struct Seen {
        QString undoText;
        int sceneAfterUndo = -1;
        int riseAfterUndo = -1;
        int sceneAfterRedo = -1;
        int riseAfterRedo = -1;
    } seen;
    int pass = 0;
    const int result = runLanguageRestartLoop(QStringLiteral("de_DE"), [&](Vt410_bootloader &window) {
        const auto spin = [&window](const char *name) { return window.findChild<QSpinBox *>(name); };
        const auto action = [&window](const char *name) { return window.findChild<QAction *>(name); };
        ++pass;
        if (pass == 1) {
            window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
            spin("spinBoxRiseTime")->setValue(111);
            spin("spinBoxSceneNumber")->setValue(2);
            spin("spinBoxRiseTime")->setValue(222);
            spin("spinBoxSceneNumber")->setValue(3);
            spin("spinBoxRiseTime")->setValue(333);
            action("actionUndo")->trigger();
        } else {
            auto questions = std::make_unique<ScriptedQuestions>();
            questions->answerMessage(QMessageBox::Discard);
            questions->answerMessage(QMessageBox::Discard);
            window.setQuestions(std::move(questions));
            seen.undoText = action("actionUndo")->isEnabled() ? action("actionUndo")->text() : QString();
            action("actionUndo")->trigger();
            seen.sceneAfterUndo = spin("spinBoxSceneNumber")->value();
            seen.riseAfterUndo = spin("spinBoxRiseTime")->value();
            action("actionRedo")->trigger();
            action("actionRedo")->trigger();
            seen.sceneAfterRedo = spin("spinBoxSceneNumber")->value();
            seen.riseAfterRedo = spin("spinBoxRiseTime")->value();
        }
        const char *next = pass == 1 ? "actionPolish" : "actionClose";
        QTimer::singleShot(0, &window, [&window, next] { window.findChild<QAction *>(next)->trigger(); });
    });
    QCOMPARE(result, 0);
    QCOMPARE(pass, 2);
    // The step's name in the new window's language.
    QCOMPARE(seen.undoText, QStringLiteral("Cofnij Przejście"));
    QCOMPARE(seen.sceneAfterUndo, 2);
    QCOMPARE(seen.riseAfterUndo, 0);
    QCOMPARE(seen.sceneAfterRedo, 3);
    QCOMPARE(seen.riseAfterRedo, 333);
}

namespace {

// Puts a copy of the built catalogue `builtName` (vt410_pl or vt410_en) into
// `folder` under the name `asName`.
bool placeCatalogue(const QString &folder, const QString &builtName, const QString &asName)
{
    return QDir().mkpath(folder)
           && QFile::copy(QStringLiteral(VT520_BINARY_DIR "/bin/") + builtName + ".qm", folder + '/' + asName + ".qm");
}

// The caption of the firmware button as the installed translator gives it.
QString firmwareCaption(const QTranslator &translator)
{
    return translator.translate("Vt410_bootloaderClass", "Firmware Change");
}

} // namespace

void TestLanguageLoop::catalogueFallsBackToTheInstalledFolder_data()
{
    // In each folder: the file name under which a built catalogue is placed,
    // written "<built>:<as>", or nothing. An English catalogue placed under a
    // Polish name tells which folder the catalogue came from.
    QTest::addColumn<QString>("inCurrent");
    QTest::addColumn<QString>("inInstalled");
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("caption");
    const QString polish = QString::fromUtf8("Zmiana firmware");
    QTest::newRow("current directory only") << "vt410_pl:vt410_pl"
                                            << ""
                                            << "vt410_pl" << true << polish;
    QTest::newRow("installed folder only") << ""
                                           << "vt410_pl:vt410_pl"
                                           << "vt410_pl" << true << polish;
    QTest::newRow("current directory wins") << "vt410_en:vt410_pl"
                                            << "vt410_pl:vt410_pl"
                                            << "vt410_pl" << true << "Firmware Change";
    QTest::newRow("locale name shortened in the installed folder") << ""
                                                                   << "vt410_pl:vt410_pl"
                                                                   << "vt410_pl_PL" << true << polish;
    QTest::newRow("shortened name in the current directory wins") << "vt410_en:vt410_pl"
                                                                  << "vt410_pl:vt410_pl_PL"
                                                                  << "vt410_pl_PL" << true << "Firmware Change";
    QTest::newRow("installed folder for another language") << ""
                                                           << "vt410_pl:vt410_pl"
                                                           << "vt410_de_DE" << false << "";
    QTest::newRow("neither") << ""
                             << ""
                             << "vt410_pl" << false << "";
}

void TestLanguageLoop::catalogueFallsBackToTheInstalledFolder()
{
    QFETCH(QString, inCurrent);
    QFETCH(QString, inInstalled);
    QFETCH(QString, baseName);
    QFETCH(bool, loaded);
    QFETCH(QString, caption);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString current = root.filePath(QStringLiteral("current"));
    const QString installed = root.filePath(QStringLiteral("share/vt520-config/translations"));
    QVERIFY(QDir().mkpath(current));
    if (!inCurrent.isEmpty())
        QVERIFY(placeCatalogue(current, inCurrent.section(':', 0, 0), inCurrent.section(':', 1)));
    if (!inInstalled.isEmpty())
        QVERIFY(placeCatalogue(installed, inInstalled.section(':', 0, 0), inInstalled.section(':', 1)));

    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(current));
    QTranslator translator;
    const bool result = loadCatalogue(translator, baseName, installed);
    QDir::setCurrent(before);

    QCOMPARE(result, loaded);
    QCOMPARE(translator.isEmpty(), !loaded);
    // Empty: no catalogue, so no translation at all.
    QCOMPARE(firmwareCaption(translator), caption);
}

void TestLanguageLoop::installedProgramFindsItsCatalogues_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Polish system") << "pl_PL" << QString::fromUtf8("Zmiana firmware");
    QTest::newRow("German system") << "de_DE"
                                   << "Firmware Change";
}

void TestLanguageLoop::installedProgramFindsItsCatalogues()
{
    // The program started from a folder without catalogues: the loop takes
    // them from the installed folder, which lies beside the program's folder.
    QFETCH(QString, locale);
    QFETCH(QString, caption);
    const QString share = QCoreApplication::applicationDirPath() + "/../share";
    const QString installed = share + "/vt520-config/translations";
    const bool madeShare = !QDir(share).exists();
    QVERIFY(QDir().mkpath(installed));
    const QString placed = installed + "/vt410_pl.qm";
    const bool placedHere = !QFile::exists(placed);
    if (placedHere)
        QVERIFY(QFile::copy(QStringLiteral(VT520_BINARY_DIR "/bin/vt410_pl.qm"), placed));

    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(empty.path()));
    QString seenCaption;
    const int result = runLanguageRestartLoop(locale, [&](Vt410_bootloader &window) {
        seenCaption = window.findChild<QPushButton *>(QStringLiteral("pushButtonCHF"))->text();
        QTimer::singleShot(0, &window, &QWidget::close);
    });
    QDir::setCurrent(before);
    if (placedHere)
        QFile::remove(placed);
    if (madeShare)
        QDir(share).removeRecursively();

    QCOMPARE(result, 0);
    QCOMPARE(seenCaption, caption);
}

namespace {
struct Placement {
    QRect geometry; // of a window that is not maximised
    bool maximised = false;
    int tab = 0;
    bool operator==(const Placement &other) const
    {
        return maximised == other.maximised && tab == other.tab && (maximised || geometry == other.geometry);
    }
};

Placement placementOf(const Vt410_bootloader &window)
{
    return {window.geometry(), window.isMaximized(), window.findChild<QTabWidget *>("tabWidget")->currentIndex()};
}

char *toString(const Placement &placement)
{
    const QRect &g = placement.geometry;
    return qstrdup(qPrintable(QStringLiteral("%1,%2 %3x%4 maximised %5 tab %6")
                                  .arg(g.x())
                                  .arg(g.y())
                                  .arg(g.width())
                                  .arg(g.height())
                                  .arg(placement.maximised)
                                  .arg(placement.tab)));
}
} // namespace

void TestLanguageLoop::placementIsKept_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("switchLanguage"); // before the window is closed
    QTest::newRow("size and place") << false << 2 << false;
    QTest::newRow("maximised") << true << 1 << false;
    QTest::newRow("size and place through a language switch") << false << 1 << true;
    QTest::newRow("maximised through a language switch") << true << 2 << true;
}

// The window's place, size, maximised state and tab reach the window of the
// other language and the next run, through the program's settings.
void TestLanguageLoop::placementIsKept()
{
    QFETCH(bool, maximised);
    QFETCH(int, tab);
    QFETCH(bool, switchLanguage);
    Placement set;
    QList<Placement> seen;
    int result = runLanguageRestartLoop(QStringLiteral("de_DE"), [&](Vt410_bootloader &window) {
        (void)QTest::qWaitForWindowExposed(&window);
        const QString next = switchLanguage && seen.isEmpty() && set.tab == 0 ? "actionPolish" : "actionClose";
        if (set.tab == 0) {
            window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(tab);
            window.setGeometry(60, 70, 700, 500);
            if (maximised)
                window.showMaximized();
            QCoreApplication::processEvents();
            set = placementOf(window);
        } else {
            seen << placementOf(window);
        }
        QTimer::singleShot(0, &window, [&window, next] { window.findChild<QAction *>(next)->trigger(); });
    });
    QCOMPARE(result, 0);
    QCOMPARE(set.maximised, maximised);
    QCOMPARE(seen.size(), switchLanguage ? 1 : 0);
    // The next run.
    result = runLanguageRestartLoop(QStringLiteral("de_DE"), [&](Vt410_bootloader &window) {
        (void)QTest::qWaitForWindowExposed(&window);
        seen << placementOf(window);
        QTimer::singleShot(0, &window, &QWidget::close);
    });
    QCOMPARE(result, 0);
    for (const Placement &placement : seen)
        QCOMPARE(placement, set);
    QVERIFY(QFile::exists(QSettings().fileName()));
    QVERIFY(QSettings().fileName().startsWith(settingsDirectory.path()));
}

// On a 1920x1080 screen the first window shows all twelve lamps of a tab
// without scrolling, and is not maximised for it.
void TestLanguageLoop::firstStartShowsAllLamps()
{
    bool maximised = true;
    bool scrolls = true;
    QRect geometry;
    QRect available;
    const int result = runLanguageRestartLoop(QStringLiteral("de_DE"), [&](Vt410_bootloader &window) {
        window.findChild<QTabWidget *>("tabWidget")->setCurrentIndex(1);
        QCoreApplication::processEvents();
        maximised = window.isMaximized();
        const auto *area = window.findChild<QScrollArea *>("scrollArea");
        scrolls = area->horizontalScrollBar()->maximum() > 0 || area->verticalScrollBar()->maximum() > 0;
        geometry = window.frameGeometry();
        available = window.screen()->availableGeometry();
        QTimer::singleShot(0, &window, &QWidget::close);
    });
    QCOMPARE(result, 0);
    QCOMPARE(available.size(), QSize(1920, 1080));
    QVERIFY(!maximised);
    QVERIFY(!scrolls);
    QVERIFY(available.contains(geometry));
}

int main(int argc, char *argv[])
{
    // Offscreen, the screen is 1920x1080, a common size that holds the window.
    QTemporaryDir screenDirectory;
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen" && screenDirectory.isValid()) {
        QFile screen(screenDirectory.filePath(QStringLiteral("screen.json")));
        if (screen.open(QIODevice::WriteOnly)
            && screen.write(R"({"screens":[{"name":"screen","x":0,"y":0,"width":1920,"height":1080,)"
                            R"("logicalDpiX":96,"logicalDpiY":96}]})")
                   > 0) {
            screen.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screen.fileName()));
        }
    }
    QApplication app(argc, argv);
    TestLanguageLoop test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "test_languageloop.moc"
