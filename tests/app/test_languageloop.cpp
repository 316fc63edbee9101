#include "app/LanguageRestartLoop.h"
#include "app/Vt410_bootloader.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QSpinBox>
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
    QTest::newRow("first pass, Polish system") << 0 << "pl_PL" << "vt410_pl_PL";
    QTest::newRow("first pass, German system") << 0 << "de_DE" << "vt410_de_DE";
    QTest::newRow("Polish chosen") << -11 << "de_DE" << "vt410_pl";
    QTest::newRow("English chosen") << -12 << "pl_PL" << "vt410_en";
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
    QTest::newRow("no catalogue for German") << "de_DE" << "Firmware Change" << "Vt520 ver. 1.03";
    QTest::newRow("Polish") << "pl_PL" << QString::fromUtf8("Zmiana firmware") << "Vt520 wer. 1.03";
    QTest::newRow("English") << "en_GB" << "Firmware Change" << "Vt520 ver. 1.03";
}

void TestLanguageLoop::firstPassFollowsTheLocale()
{
    QFETCH(QString, locale);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    QString seenCaption;
    QString seenTitle;
    const int result = runLanguageRestartLoop(locale, [&](Vt410_bootloader &window) {
        seenCaption = window.findChild<QPushButton *>(QStringLiteral("pushButtonCHF"))->text();
        seenTitle = window.windowTitle();
        QTimer::singleShot(0, &window, &QWidget::close);
    });
    QCOMPARE(result, 0);
    QCOMPARE(seenCaption, caption);
    QCOMPARE(seenTitle, title);
}

void TestLanguageLoop::languageMenuRebuildsTheWindow()
{
    // English -> Polish -> Polish again -> English -> close.
    const QStringList actions{"actionPolish", "actionPolish", "actionEnglish", "actionClose"};
    QStringList captions;
    QList<int> programNumbers;
    int pass = 0;
    const int result = runLanguageRestartLoop(QStringLiteral("de_DE"), [&](Vt410_bootloader &window) {
        captions << window.findChild<QPushButton *>(QStringLiteral("pushButtonCHF"))->text();
        auto *program = window.findChild<QSpinBox *>(QStringLiteral("spinBoxProgramNumber"));
        programNumbers << program->value();
        program->setValue(5); // lost with the window on a restart
        const QString next = actions.value(pass++);
        QTimer::singleShot(0, &window, [&window, next] {
            window.findChild<QAction *>(next)->trigger();
        });
    });
    QCOMPARE(result, 0);
    const QString polish = QString::fromUtf8("Zmiana firmware");
    QCOMPARE(captions, (QStringList{"Firmware Change", polish, polish, "Firmware Change"}));
    QCOMPARE(programNumbers, (QList<int>{1, 1, 1, 1}));
}

QTEST_MAIN(TestLanguageLoop)
#include "test_languageloop.moc"
