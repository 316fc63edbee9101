#include "FailOnWarnings.h"
#include "app/Vt410_bootloader.h"

#include <QAction>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

namespace {
// QObject::receivers is protected; reaching it through a derived class's
// member pointer is the portable way to ask how many slots a signal reaches.
struct ReceiverCount : QObject {
    static int of(const QObject *sender, const char *signal)
    {
        int (QObject::*fn)(const char *) const = &ReceiverCount::receivers;
        return (sender->*fn)(signal);
    }
};

template <typename T>
T *child(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void titleShowsVersion();
    void formGeometry();
    void captions_data();
    void captions();
    void progressBars_data();
    void progressBars();
    void onlyFirmwareChangeOffered();
    void getDmxIsConnectedToNothing();
    void spinBoxes_data();
    void spinBoxes();
    void layouts_data();
    void layouts();
    void tabsAndMenus();
    void logPane();
    void languageActionsEndTheEventLoop_data();
    void languageActionsEndTheEventLoop();
    void closeActionClosesWindow();
};

void TestMainWindow::titleShowsVersion()
{
    Vt410_bootloader window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Vt520 ver. 1.03"));
    QCOMPARE(window.objectName(), QStringLiteral("Vt410_bootloaderClass"));
}

void TestMainWindow::formGeometry()
{
    Vt410_bootloader window;
    QCOMPARE(window.size(), QSize(851, 723));
    QCOMPARE(child<QMenuBar>(window, "menuBar")->geometry(), QRect(0, 0, 850, 20));
    QVERIFY(child<QScrollArea>(window, "scrollArea")->widgetResizable());
    QVERIFY(child<QScrollArea>(window, "scrollArea_2")->widgetResizable());
}

void TestMainWindow::captions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    const char *rows[][2] = {
        {"pushButtonCHF", "Firmware Change"},
        {"pushButtonConnect", "Connect"},
        {"pushButtonDisconnect", "Disconnect"},
        {"pushButtonRead", "Read"},
        {"pushButtonWrite", "Write"},
        {"pushButtonWritePage", "WritePage"},
        {"pushButtonWriteExtFlashBin", "WriteExtFlashBin"},
        {"pushButtonRunApplication", "RunApplication"},
        {"pushButtonWriteExternalFlash", "WriteExternalFlash"},
        {"pushButtonReadExternalFlash", "ReadExternalFlash"},
        {"pushButtonCreateUpg", "CreateUpg"},
        {"pushButtonCreateBootBin", "CreateBootBin"},
        {"pushButtonStatusClr", "StatusClr"},
        {"pushButtonStatusGet", "StatusGet"},
        {"pushButtonStatusSet", "StatusSet"},
        {"pushButtonGetDmx", "GetDmx"},
        {"pushButtonGetProgramsFormVt410", "Get Programs Form Vt520"},
        {"pushButtonSetProgramsInVt410", "Set Programs In Vt520"},
        {"pushButtonLoadProgramsFromFile", "Load Programs From FIle"},
        {"pushButtonSaveProgramsToFile", "Save Programs To File"},
        {"pushButtonGetScenesFormVt410", "Get Scenes Form Vt520"},
        {"pushButtonSetScenesInVt410", "Set Scenes In Vt520"},
        {"pushButtonLoadScenesFromFile", "Load Scenes From File"},
        {"pushButtonSaveScenesToFile", "Save Scenes To File"},
        {"labelProgramNr", "Program Number"},
        {"labelSceneNr", "Scene Number"},
        {"labelRiseTime", "XFade"},
        {"labelStaticTime", "Scene Time"},
        {"labelEndMarker", "End Marker"},
        {"labelSceneNr_2", "Scene Number"},
        {"labelRiseTime_2", "XFade"},
        {"labelStaticTime_2", "Scene Time"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void TestMainWindow::captions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    Vt410_bootloader window;
    QObject *widget = window.findChild<QObject *>(name);
    QVERIFY2(widget, qPrintable(name));
    QCOMPARE(widget->property("text").toString(), caption);
}

void TestMainWindow::progressBars_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("row");
    QTest::newRow("flash") << "progressBarFlash"
                           << "Flash %p%" << 1;
    QTest::newRow("write") << "progressBarExtFlashWr"
                           << "External flash write %p%" << 2;
    QTest::newRow("verify") << "progressBarExtFlashRd"
                            << "External flash verify %p%" << 3;
}

void TestMainWindow::progressBars()
{
    QFETCH(QString, name);
    QFETCH(QString, format);
    QFETCH(int, row);
    Vt410_bootloader window;
    auto *bar = window.findChild<QProgressBar *>(name);
    QVERIFY(bar);
    QCOMPARE(bar->format(), format);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->maximumHeight(), 15);
    QCOMPARE(bar->alignment(), Qt::AlignJustify | Qt::AlignVCenter);
    auto *grid = child<QGridLayout>(window, "gridLayout_3");
    QCOMPARE(grid->itemAtPosition(row, 0)->widget(), bar);
}

void TestMainWindow::onlyFirmwareChangeOffered()
{
    Vt410_bootloader window;
    window.show();
    auto *grid = child<QGridLayout>(window, "gridLayout_2");
    QStringList visible;
    int buttons = 0;
    for (int i = 0; i < grid->count(); ++i) {
        auto *button = qobject_cast<QPushButton *>(grid->itemAt(i)->widget());
        if (!button)
            continue;
        ++buttons;
        if (button->isVisible())
            visible << button->text();
        QCOMPARE(button->isEnabled(), button->objectName() == QLatin1String("pushButtonCHF"));
    }
    QCOMPARE(buttons, 16);
    QCOMPARE(visible, QStringList{QStringLiteral("Firmware Change")});
    QCOMPARE(child<QTabWidget>(window, "tabWidget")->currentIndex(), 0);
}

void TestMainWindow::getDmxIsConnectedToNothing()
{
    Vt410_bootloader window;
    auto *getDmx = child<QPushButton>(window, "pushButtonGetDmx");
    QCOMPARE(ReceiverCount::of(getDmx, SIGNAL(clicked(bool))), 0);
    QCOMPARE(ReceiverCount::of(getDmx, SIGNAL(clicked())), 0);
    // The hidden service buttons stay wired to their slots.
    QCOMPARE(ReceiverCount::of(child<QPushButton>(window, "pushButtonStatusGet"), SIGNAL(clicked(bool))), 1);
    QCOMPARE(ReceiverCount::of(child<QPushButton>(window, "pushButtonCHF"), SIGNAL(clicked(bool))), 1);
}

void TestMainWindow::spinBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("program") << "spinBoxProgramNumber" << 1 << 8 << 1 << "";
    QTest::newRow("scene") << "spinBoxSceneNumber" << 1 << 20 << 1 << "";
    QTest::newRow("rise") << "spinBoxRiseTime" << 0 << 100000 << 0 << "%";
    QTest::newRow("static") << "spinBoxStaticTime" << 0 << 900000 << 0 << "ms";
    QTest::newRow("marker") << "spinBoxEndMarker" << 0 << 1 << 0 << "";
    QTest::newRow("scenes scene") << "spinBoxSceneSceneNumber" << 1 << 8 << 1 << "";
    QTest::newRow("scenes rise") << "spinBoxSceneRiseTime" << 0 << 100000 << 0 << "%";
    QTest::newRow("scenes static") << "spinBoxSceneStaticTime" << 0 << 900000 << 0 << "ms";
}

void TestMainWindow::spinBoxes()
{
    QFETCH(QString, name);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, value);
    QFETCH(QString, suffix);
    Vt410_bootloader window;
    auto *spin = window.findChild<QSpinBox *>(name);
    QVERIFY(spin);
    QCOMPARE(spin->minimum(), minimum);
    QCOMPARE(spin->maximum(), maximum);
    QCOMPARE(spin->value(), value);
    QCOMPARE(spin->suffix(), suffix);
    QCOMPARE(spin->minimumWidth(), 80);
}

void TestMainWindow::layouts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<int>("margin");
    QTest::newRow("central") << "horizontalLayout_3" << 6 << 11;
    QTest::newRow("settings") << "gridLayout_3" << 3 << 3;
    QTest::newRow("buttons") << "gridLayout_2" << 3 << 3;
    QTest::newRow("programs page") << "horizontalLayout_2" << 6 << 11;
    QTest::newRow("programs grid") << "gridLayout_4" << 5 << 5;
    QTest::newRow("programs scroll") << "horizontalLayout_4" << 6 << 11;
    QTest::newRow("programs lamps") << "horizontalLayout" << 1 << 1;
    QTest::newRow("scenes page") << "horizontalLayout_7" << 6 << 11;
    QTest::newRow("scenes grid") << "gridLayout_6" << 5 << 5;
    QTest::newRow("scenes scroll") << "horizontalLayout_5" << 6 << 11;
    QTest::newRow("scenes lamps") << "horizontalLayoutScenes" << 1 << 1;
}

void TestMainWindow::layouts()
{
    QFETCH(QString, name);
    QFETCH(int, spacing);
    QFETCH(int, margin);
    Vt410_bootloader window;
    auto *layout = window.findChild<QLayout *>(name);
    QVERIFY2(layout, qPrintable(name));
    QCOMPARE(layout->spacing(), spacing);
    QCOMPARE(layout->contentsMargins(), QMargins(margin, margin, margin, margin));
}

void TestMainWindow::tabsAndMenus()
{
    Vt410_bootloader window;
    auto *tabs = child<QTabWidget>(window, "tabWidget");
    QCOMPARE(tabs->count(), 3);
    const QStringList pages{"tabSettings", "tabPrograms", "tabScenes"};
    const QStringList captions{"Settings", "Programs", "Scenes"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(tabs->widget(i)->objectName(), pages[i]);
        QCOMPARE(tabs->tabText(i), captions[i]);
    }

    auto *menuBar = child<QMenuBar>(window, "menuBar");
    QStringList menus;
    QStringList mnemonics;
    for (QAction *action : menuBar->actions()) {
        menus << action->menu()->objectName() + QLatin1Char('=') + QString(action->text()).remove(QLatin1Char('&'));
        mnemonics << QKeySequence::mnemonic(action->text()).toString();
    }
    QCOMPARE(menus, (QStringList{"menuFile=File", "menuEdit=Edit", "menuDevice=Device", "menuLanguage=Language",
                                 "menuHelp=Help"}));
    QCOMPARE(mnemonics, (QStringList{"Alt+F", "Alt+E", "Alt+D", "Alt+L", "Alt+H"}));

    auto actionsOf = [&](const char *menuName) {
        QStringList texts;
        for (QAction *action : child<QMenu>(window, menuName)->actions())
            texts << action->objectName() + QLatin1Char('=') + action->text();
        return texts;
    };
    // Open, Open Recent, Save and Save As of the shown table, Read and
    // Write, then Close (Ctrl+Q too).
    QStringList file;
    for (QAction *action : child<QMenu>(window, "menuFile")->actions())
        file << (action->menu() ? action->menu()->objectName() : action->objectName())
                    + (action == child<QAction>(window, "actionClose") ? "=" + action->text() : QString());
    QCOMPARE(file, (QStringList{"actionOpenTable", "menuOpenRecent", "actionSaveTable", "actionSaveTableAs", "",
                                "actionReadTable", "actionWriteTable", "", "actionClose=Close"}));
    QVERIFY(child<QAction>(window, "actionClose")->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Q)));
    QCOMPARE(actionsOf("menuLanguage"), (QStringList{"actionPolish=Polish", "actionEnglish=English"}));
    QCOMPARE(actionsOf("menuHelp"), QStringList{"actionVt410_info=Vt520 - info"});
    // Every tool bar action can be reached from a menu as well.
    QList<QAction *> inMenus;
    for (QMenu *menu : window.findChildren<QMenu *>())
        inMenus += menu->actions();
    for (QAction *action : child<QToolBar>(window, "mainToolBar")->actions())
        QVERIFY2(action->isSeparator() || inMenus.contains(action), qPrintable(action->objectName()));
    QVERIFY(window.findChild<QStatusBar *>("statusBar"));
}

void TestMainWindow::logPane()
{
    Vt410_bootloader window;
    auto *txt = child<QTextBrowser>(window, "txt");
    QVERIFY(txt->isReadOnly());
    QCOMPARE(txt->font().family(), QStringLiteral("Courier New"));
    QCOMPARE(child<QGridLayout>(window, "gridLayout_3")->itemAtPosition(5, 0)->widget(), txt);
}

void TestMainWindow::languageActionsEndTheEventLoop_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("Polish") << "actionPolish" << -11;
    QTest::newRow("English") << "actionEnglish" << -12;
}

void TestMainWindow::languageActionsEndTheEventLoop()
{
    QFETCH(QString, action);
    QFETCH(int, exitCode);
    Vt410_bootloader window;
    window.show();
    QTimer::singleShot(0, &window, [&] { window.findChild<QAction *>(action)->trigger(); });
    QCOMPARE(QCoreApplication::exec(), exitCode);
    // The event loop ended without closing the window; the restart loop
    // destroys it.
    QVERIFY(window.isVisible());
}

void TestMainWindow::closeActionClosesWindow()
{
    Vt410_bootloader window;
    window.show();
    QTimer::singleShot(0, &window, [&] { window.findChild<QAction *>("actionClose")->trigger(); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
