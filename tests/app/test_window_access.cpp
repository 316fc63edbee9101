// The window worked without a mouse and with a screen reader, in English and
// in Polish: every spin box is named and labelled by its caption, the bars
// and the log pane have names, each menu entry has a letter of its own
// within its menu, and Save As has its key.
#include "FailOnWarnings.h"
#include "app/Vt410_bootloader.h"
#include "widgets/ColorSlider.h"
#include "widgets/MenuMnemonics.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTranslator>
#include <QtTest>

#include <memory>

class TestWindowAccess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void spinBoxesNamedByTheirCaptions_data() { languages(); }
    void spinBoxesNamedByTheirCaptions();
    void barsAndLogNamed_data() { languages(); }
    void barsAndLogNamed();
    void menuEntriesHaveTheirOwnLetters_data() { languages(); }
    void menuEntriesHaveTheirOwnLetters();
    void saveAsHasItsKey();
    void lampsReachedByTab_data();
    void lampsReachedByTab();
    void mnemonicOfAText_data();
    void mnemonicOfAText();

private:
    void languages();
    void buildWindow(bool polish);

    std::unique_ptr<QTranslator> translator;
    std::unique_ptr<Vt410_bootloader> window;
};

void TestWindowAccess::init()
{
    failOnUnexpectedWarnings();
}

void TestWindowAccess::cleanup()
{
    window.reset();
    if (translator)
        QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

void TestWindowAccess::languages()
{
    QTest::addColumn<bool>("polish");
    QTest::newRow("English") << false;
    QTest::newRow("Polish") << true;
}

void TestWindowAccess::buildWindow(bool polish)
{
    if (polish) {
        translator = std::make_unique<QTranslator>();
        QVERIFY(translator->load(QStringLiteral(VT520_BINARY_DIR "/bin/vt410_pl.qm")));
        QCoreApplication::installTranslator(translator.get());
    }
    window = std::make_unique<Vt410_bootloader>();
}

// A screen reader reads the caption beside a spin box as its name, and finds
// the caption as its label (the "labelled by" relation).
void TestWindowAccess::spinBoxesNamedByTheirCaptions()
{
    QFETCH(bool, polish);
    buildWindow(polish);
    const QList<QSpinBox *> spinBoxes = window->findChildren<QSpinBox *>();
    QCOMPARE(spinBoxes.size(), 8);
    for (QSpinBox *spinBox : spinBoxes) {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(spinBox);
        QVERIFY(face);
        const QString name = face->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(spinBox->objectName()));
        QLabel *caption = nullptr;
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (label->buddy() == spinBox)
                caption = label;
        }
        QVERIFY2(caption, qPrintable(spinBox->objectName()));
        QCOMPARE(name, caption->text());
        bool labelled = false;
        for (const auto &relation : face->relations(QAccessible::Label))
            labelled = labelled || relation.first->object() == caption;
        QVERIFY2(labelled, qPrintable(spinBox->objectName()));
    }
}

void TestWindowAccess::barsAndLogNamed()
{
    QFETCH(bool, polish);
    buildWindow(polish);
    QList<QWidget *> named;
    for (QProgressBar *bar : window->findChildren<QProgressBar *>())
        named << bar;
    QCOMPARE(named.size(), 3);
    named << window->findChild<QTextBrowser *>(QStringLiteral("txt"));
    QStringList names;
    for (QWidget *widget : named) {
        QVERIFY(widget);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
        QVERIFY(face);
        const QString name = face->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
        names << name;
    }
    // Each one can be told from the others.
    QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
}

// Every entry of every menu (and every menu of the menu bar) marks a letter,
// and no two entries of one menu mark the same one; checked as each menu
// opens, on the Programs tab, where all the editing commands have captions.
void TestWindowAccess::menuEntriesHaveTheirOwnLetters()
{
    QFETCH(bool, polish);
    buildWindow(polish);
    window->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(1);
    QList<QPair<QString, QList<QAction *>>> menus;
    menus.append({QStringLiteral("menu bar"), window->menuBar()->actions()});
    for (QMenu *menu : window->findChildren<QMenu *>()) {
        emit menu->aboutToShow();
        menus.append({menu->objectName(), menu->actions()});
    }
    QVERIFY(menus.size() > 5);
    for (const auto &menu : std::as_const(menus)) {
        QSet<QChar> letters;
        for (QAction *action : menu.second) {
            if (action->isSeparator() || action->text().isEmpty())
                continue;
            const QChar letter = MenuMnemonics::of(action->text());
            const QString where = menu.first + ": " + action->text();
            QVERIFY2(!letter.isNull(), qPrintable(where));
            QVERIFY2(!letters.contains(letter), qPrintable(where));
            letters.insert(letter);
        }
    }
}

// The toolkit's generic theme, which the offscreen platform uses, binds no
// key to QKeySequence::SaveAs; the window gives Ctrl+Shift+S then.
void TestWindowAccess::saveAsHasItsKey()
{
    buildWindow(false);
    QAction *saveAs = window->findChild<QAction *>(QStringLiteral("actionSaveTableAs"));
    QVERIFY(saveAs);
    const QList<QKeySequence> themeKeys = QKeySequence::keyBindings(QKeySequence::SaveAs);
    if (themeKeys.isEmpty())
        QCOMPARE(saveAs->shortcuts(), QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    else
        QCOMPARE(saveAs->shortcuts(), themeKeys);
}

void TestWindowAccess::lampsReachedByTab_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<QString>("overview");
    QTest::addColumn<QString>("lampRow");
    QTest::newRow("Programs") << 1 << "programOverview"
                              << "horizontalLayout";
    QTest::newRow("Scenes") << 2 << "sceneOverview"
                            << "horizontalLayoutScenes";
}

// After the record's fields (the overview last of them) Tab visits lamp 1's
// swatch, buttons, sliders and entry fields, then lamp 2's, up to lamp 12's;
// on a slider reached so, the arrow keys move it.
void TestWindowAccess::lampsReachedByTab()
{
    QFETCH(int, tab);
    QFETCH(QString, overview);
    QFETCH(QString, lampRow);
    buildWindow(false);
    window->findChild<QTabWidget *>(QStringLiteral("tabWidget"))->setCurrentIndex(tab);
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *row = window->findChild<QHBoxLayout *>(lampRow);
    QVERIFY(row);
    QList<QWidget *> expected;
    QList<SuperRGB *> lamps;
    for (int i = 0; i < row->count(); ++i) {
        if (auto *lamp = qobject_cast<SuperRGB *>(row->itemAt(i)->widget())) {
            lamps << lamp;
            expected << lamp->keyboardOrder();
        }
    }
    QCOMPARE(lamps.size(), SceneRecord::LampCount);
    QCOMPARE(expected.size(), SceneRecord::LampCount * 13);
    auto *start = window->findChild<SceneOverview *>(overview);
    start->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), start);
    QList<QWidget *> visited;
    for (int i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
    }
    QCOMPARE(visited, expected);

    auto *slider = lamps.at(2)->findChild<ColorSlider *>(QStringLiteral("SliderGreen"));
    slider->setFocus(Qt::TabFocusReason);
    const int before = slider->value();
    QTest::keyClick(slider, Qt::Key_Up);
    QCOMPARE(slider->value(), before + 1);
    QCOMPARE(lamps.at(2)->color().green(), before + 1);
}

void TestWindowAccess::mnemonicOfAText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("letter");
    QTest::newRow("first letter") << "&File"
                                  << "f";
    QTest::newRow("inside") << "Pomo&c"
                            << "c";
    QTest::newRow("capital read as small") << "Select All &Red Sliders"
                                           << "r";
    QTest::newRow("none") << "Close"
                          << "";
    QTest::newRow("a plain ampersand") << "Salt && Pepper"
                                       << "";
    QTest::newRow("after a plain ampersand") << "R&&D &Notes"
                                             << "n";
    QTest::newRow("ampersand at the end") << "Odd&"
                                          << "";
}

void TestWindowAccess::mnemonicOfAText()
{
    QFETCH(QString, text);
    QFETCH(QString, letter);
    const QChar found = MenuMnemonics::of(text);
    QCOMPARE(found.isNull() ? QString() : QString(found), letter);
}

QTEST_MAIN(TestWindowAccess)
#include "test_window_access.moc"
