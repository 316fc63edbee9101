#include "ScriptedQuestions.h"
#include "app/LanguageRestartLoop.h"
#include "app/Vt410_bootloader.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QAction>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
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
    void catalogueNames_data();
    void catalogueNames();
    void firstPassFollowsTheLocale_data();
    void firstPassFollowsTheLocale();
    void languageMenuRebuildsTheWindow();
    void languageSwitchKeepsTheWork();
    void catalogueFallsBackToTheInstalledFolder_data();
    void catalogueFallsBackToTheInstalledFolder();
    void installedProgramFindsItsCatalogues_data();
    void installedProgramFindsItsCatalogues();

private:
    QString previousDirectory;
};

void TestLanguageLoop::initTestCase()
{
    // The program looks its catalogues up in the current directory.
    previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QStringLiteral(VT520_BINARY_DIR "/bin")));
    QVERIFY(QFile::exists(QStringLiteral("vt410_pl.qm")));
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
        seenTitle = window.windowTitle();
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
        now.title = window.windowTitle();
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

QTEST_MAIN(TestLanguageLoop)
#include "test_languageloop.moc"
