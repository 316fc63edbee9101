#include "FailOnWarnings.h"
#include "widgets/SceneOverview.h"
#include "widgets/SuperRGB.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

// What assistive technology finds in a lamp editor and in the scene
// overview (names and descriptions through QAccessible, as a screen reader
// asks), and the overview worked by keyboard alone.
class TestAccessibility : public QObject
{
    Q_OBJECT

    // Scene s, lamp l holds R = 10 s + l, G = 0, B = 30; scene 3, lamp 2 is
    // R 255 G 0 B 30; scene 4 has its End Marker set.
    static SceneRecord record(int scene)
    {
        SceneRecord r;
        for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp)
            r.setLamp(lamp, quint8(10 * scene + lamp), 0, 30);
        if (scene == 3)
            r.setLamp(2, 255, 0, 30);
        // Scene 5 ends a program.
        r.setEndMarker(scene == 4 ? 1 : 0);
        return r;
    }

    static QString accessibleText(QObject *object, QAccessible::Text t)
    {
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
        return face ? face->text(t) : QString("(no interface)");
    }

private slots:
    void init() { failOnUnexpectedWarnings(); }
    // The third lamp (number 2 counted from 0), on DMX channels 7 to 9.
    void lampEditorTexts_data()
    {
        QTest::addColumn<QString>("part"); // object name, empty: the editor
        QTest::addColumn<bool>("description");
        QTest::addColumn<QString>("text");
        QTest::newRow("editor") << "" << false << "Lamp 3";
        QTest::newRow("editor description") << "" << true << "Colour of lamp 3 on DMX channels 7 to 9";
        QTest::newRow("red slider") << "SliderRed" << false << "Lamp 3 red";
        QTest::newRow("blue slider description") << "SliderBlue" << true << "Blue level on DMX channel 9, 0 to 255";
        QTest::newRow("green field") << "EditGreen" << false << "Lamp 3 green value";
        QTest::newRow("swatch") << "EditColor" << false << "Lamp 3 colour";
        QTest::newRow("blue minus") << "ButtonBMinus" << false << "Lamp 3 blue down by 1";
        QTest::newRow("red plus description") << "ButtonRPlus" << true << "Add 1 to red";
    }

    void lampEditorTexts()
    {
        QFETCH(QString, part);
        QFETCH(bool, description);
        QFETCH(QString, text);
        SuperRGB lamp(255, 0, 30, 2);
        QObject *object = part.isEmpty() ? static_cast<QObject *>(&lamp) : lamp.findChild<QWidget *>(part);
        QVERIFY(object);
        QCOMPARE(accessibleText(object, description ? QAccessible::Description : QAccessible::Name), text);
    }

    void overviewTexts_data()
    {
        QTest::addColumn<int>("scene"); // -1: the overview itself
        QTest::addColumn<int>("lamp");
        QTest::addColumn<bool>("description");
        QTest::addColumn<QString>("text");
        QTest::newRow("overview") << -1 << 0 << false << "Scene overview";
        QTest::newRow("overview description")
            << -1 << 0 << true << "Scene 2 of 20 shown. Left, Right, Home and End choose another.";
        QTest::newRow("cell") << 3 << 2 << false << "Scene 4, lamp 3: R 255 G 0 B 30";
        QTest::newRow("last cell") << 19 << 11 << false << "Scene 20, lamp 12: R 201 G 0 B 30";
        QTest::newRow("cell of the scene shown") << 1 << 0 << true << "In the scene shown";
        QTest::newRow("cell of the scene that ends the program")
            << 4 << 0 << false << "Scene 5, end of program, lamp 1: R 40 G 0 B 30";
        QTest::newRow("cell of another scene") << 3 << 2 << true << "Press to show scene 4";
    }

    void overviewTexts()
    {
        QFETCH(int, scene);
        QFETCH(int, lamp);
        QFETCH(bool, description);
        QFETCH(QString, text);
        SceneOverview overview(20, true);
        overview.setRecordSource(&TestAccessibility::record);
        overview.setCurrentScene(1);
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(&overview);
        QVERIFY(face);
        QCOMPARE(face->role(), QAccessible::Table);
        QCOMPARE(face->childCount(), 20 * SceneRecord::LampCount);
        if (scene >= 0) {
            face = face->child(lamp * 20 + scene);
            QVERIFY(face);
            QCOMPARE(face->role(), QAccessible::Cell);
            QCOMPARE(face->state().selected, scene == 1);
            QCOMPARE(face->parent(), QAccessible::queryAccessibleInterface(&overview));
        }
        QCOMPARE(face->text(description ? QAccessible::Description : QAccessible::Name), text);
    }

    void endMarkerToolTip_data()
    {
        QTest::addColumn<bool>("showsEndMarkers");
        QTest::addColumn<int>("scene");
        QTest::addColumn<QString>("text"); // empty: no tool tip
        QTest::newRow("under a scene with its End Marker set")
            << true << 4 << "Scene 5, end of program: its End Marker is set";
        QTest::newRow("under a scene without") << true << 3 << "";
        QTest::newRow("stand-alone scenes have no End Markers") << false << 4 << "";
    }

    // The wedge under a column says what it marks.
    void endMarkerToolTip()
    {
        QFETCH(bool, showsEndMarkers);
        QFETCH(int, scene);
        QFETCH(QString, text);
        QToolTip::hideText();
        SceneOverview overview(20, showsEndMarkers);
        overview.setRecordSource(&TestAccessibility::record);
        overview.resize(overview.sizeHint());
        overview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&overview));
        const QRect lastCell = overview.cellRect(scene, SceneRecord::LampCount - 1);
        const QPoint underColumn(lastCell.center().x(), lastCell.bottom() + 5);
        QHelpEvent help(QEvent::ToolTip, underColumn, overview.mapToGlobal(underColumn));
        // The offscreen platform cannot raise the tool tip's window.
        if (!text.isEmpty() && QGuiApplication::platformName() == QLatin1String("offscreen"))
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        QApplication::sendEvent(&overview, &help);
        QCOMPARE(QToolTip::text(), text);
        QToolTip::hideText();
    }

    // Tab reaches the overview from the field before it; then each key asks
    // for the scene that a click on that column asks for.
    void overviewByKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("asked"); // -1: nothing asked
        QTest::newRow("Right") << int(Qt::Key_Right) << 4 << 5;
        QTest::newRow("Left") << int(Qt::Key_Left) << 4 << 3;
        QTest::newRow("Home") << int(Qt::Key_Home) << 4 << 0;
        QTest::newRow("End") << int(Qt::Key_End) << 4 << 19;
        QTest::newRow("Left at the first scene") << int(Qt::Key_Left) << 0 << -1;
        QTest::newRow("Right at the last scene") << int(Qt::Key_Right) << 19 << -1;
    }

    void overviewByKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, from);
        QFETCH(int, asked);
        QWidget window;
        auto *field = new QLineEdit(&window);
        auto *overview = new SceneOverview(20, true, &window);
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(overview);
        overview->setRecordSource(&TestAccessibility::record);
        overview->setCurrentScene(from);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key_Tab);
        QTRY_VERIFY(overview->hasFocus());

        QSignalSpy chosen(overview, &SceneOverview::sceneSelected);
        QTest::keyClick(overview, Qt::Key(key));
        if (asked < 0) {
            QCOMPARE(chosen.size(), 0);
            return;
        }
        QCOMPARE(chosen.size(), 1);
        QTest::mouseClick(overview, Qt::LeftButton, {}, overview->cellRect(asked, 5).center());
        QCOMPARE(chosen.size(), 2);
        QCOMPARE(chosen.at(0), chosen.at(1));
        QCOMPARE(chosen.at(0).at(0).toInt(), asked);
    }

    // A cell's press action asks for its scene, as a click does.
    void cellPressActionChoosesItsScene()
    {
        SceneOverview overview(8, false);
        overview.setRecordSource(&TestAccessibility::record);
        QSignalSpy chosen(&overview, &SceneOverview::sceneSelected);
        QAccessibleInterface *cell = QAccessible::queryAccessibleInterface(&overview)->child(4 * 8 + 6);
        QVERIFY(cell);
        QAccessibleActionInterface *actions = cell->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().first().toInt(), 6);
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
