#include "FailOnWarnings.h"
#include "widgets/ColorLineEdit.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QtTest>

namespace {

// Records what the colour dialog was asked and answers with a set colour.
struct PickerScript {
    static inline int calls = 0;
    static inline QColor initial;
    static inline QWidget *parent = nullptr;
    static inline QColor answer;

    static QColor pick(const QColor &initialColor, QWidget *parentWidget)
    {
        ++calls;
        initial = initialColor;
        parent = parentWidget;
        return answer;
    }
};

// Collects the three component signals in the order they arrive.
struct ComponentLog {
    QStringList entries;

    explicit ComponentLog(ColorLineEdit &edit)
    {
        QObject::connect(&edit, &ColorLineEdit::redChanged, &edit,
                         [this](int v) { entries << QStringLiteral("red %1").arg(v); });
        QObject::connect(&edit, &ColorLineEdit::greenChanged, &edit,
                         [this](int v) { entries << QStringLiteral("green %1").arg(v); });
        QObject::connect(&edit, &ColorLineEdit::blueChanged, &edit,
                         [this](int v) { entries << QStringLiteral("blue %1").arg(v); });
    }
};

// Notes each key press that reaches the watched widget, with the text the
// line edit showed at that moment.
class KeyWitness : public QObject
{
public:
    KeyWitness(QLineEdit *edit)
        : edit(edit)
    {
    }

    QStringList seen;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            seen << QStringLiteral("%1 over '%2'%3")
                        .arg(key->text(), edit->text(), key->spontaneous() ? " spontaneous" : "");
        }
        return false;
    }

private:
    QLineEdit *edit;
};

QColor baseOf(const QWidget &widget, QPalette::ColorGroup group)
{
    return widget.palette().color(group, QPalette::Base);
}

// Delivers a drag that enters the widget and is dropped on it, as the window
// system would: the application hands the drop only to a widget that has
// accepted the drag on entering. Returns whether the drop was accepted.
bool dragAndDrop(QWidget &widget, const QMimeData &mime)
{
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

void setBase(QWidget &widget, const QColor &color)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Base, color);
    widget.setPalette(palette);
}

} // namespace

class TestColorLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void acceptsDrops();
    void dragEnter_data();
    void dragEnter();
    void dropReportsComponentsInOrder_data();
    void dropReportsComponentsInOrder();
    void dropWithoutColorChangesNothing();
    void pressDragsBaseColor();
    void rightPressStartsNoDrag();
    void doubleClick_data();
    void doubleClick();
    void keysReachParentFirst();
    void selfFilterLetsKeysThrough();

private:
    ColorLineEdit::ColorPicker previousPicker = nullptr;
};

void TestColorLineEdit::init()
{
    failOnUnexpectedWarnings();
    PickerScript::calls = 0;
    PickerScript::initial = QColor();
    PickerScript::parent = nullptr;
    PickerScript::answer = QColor();
    previousPicker = ColorLineEdit::setColorPicker(&PickerScript::pick);
}

void TestColorLineEdit::cleanup()
{
    ColorLineEdit::setColorPicker(previousPicker);
}

void TestColorLineEdit::acceptsDrops()
{
    ColorLineEdit edit;
    QVERIFY(edit.acceptDrops());
}

void TestColorLineEdit::dragEnter_data()
{
    QTest::addColumn<bool>("withColor");
    QTest::addColumn<bool>("withText");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("colour") << true << false << true;
    QTest::newRow("colour and text") << true << true << true;
    QTest::newRow("text only") << false << true << false;
    QTest::newRow("nothing") << false << false << false;
}

void TestColorLineEdit::dragEnter()
{
    QFETCH(bool, withColor);
    QFETCH(bool, withText);
    QFETCH(bool, accepted);

    ColorLineEdit edit;
    QMimeData mime;
    if (withColor)
        mime.setColorData(QColor(1, 2, 3));
    if (withText)
        mime.setText(QStringLiteral("120"));
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(!accepted); // the handler must decide either way
    QApplication::sendEvent(&edit, &enter);
    QCOMPARE(enter.isAccepted(), accepted);
    if (accepted)
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
}

void TestColorLineEdit::dropReportsComponentsInOrder_data()
{
    QTest::addColumn<QColor>("color");
    QTest::newRow("10 20 30") << QColor(10, 20, 30);
    QTest::newRow("black") << QColor(0, 0, 0);
    QTest::newRow("white") << QColor(255, 255, 255);
    QTest::newRow("translucent keeps components") << QColor(200, 100, 50, 60);
}

void TestColorLineEdit::dropReportsComponentsInOrder()
{
    QFETCH(QColor, color);

    ColorLineEdit edit;
    setBase(edit, Qt::magenta);
    ComponentLog log(edit);
    QMimeData mime;
    mime.setColorData(color);
    QVERIFY(dragAndDrop(edit, mime));

    QCOMPARE(log.entries,
             (QStringList{QStringLiteral("red %1").arg(color.red()), QStringLiteral("green %1").arg(color.green()),
                          QStringLiteral("blue %1").arg(color.blue())}));
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        QCOMPARE(baseOf(edit, group), color);
}

void TestColorLineEdit::dropWithoutColorChangesNothing()
{
    ColorLineEdit edit;
    setBase(edit, Qt::magenta);
    ComponentLog log(edit);
    QMimeData mime;
    mime.setText(QStringLiteral("12"));
    QVERIFY(!dragAndDrop(edit, mime));
    QVERIFY(log.entries.isEmpty());
    QCOMPARE(baseOf(edit, QPalette::Active), QColor(Qt::magenta));
    QCOMPARE(edit.text(), QString());
}

void TestColorLineEdit::pressDragsBaseColor()
{
    ColorLineEdit edit;
    edit.setText(QStringLiteral("abcdef"));
    edit.setCursorPosition(6);
    setBase(edit, QColor(40, 50, 60));
    edit.resize(100, 20);
    QTest::mousePress(&edit, Qt::LeftButton, Qt::NoModifier, QPoint(3, 10));

    // The drag (finished at once off screen) is still alive until the event
    // loop deletes it, so its data can be inspected.
    const QList<QDrag *> drags = edit.findChildren<QDrag *>();
    QCOMPARE(drags.size(), 1);
    QVERIFY(drags.first()->mimeData()->hasColor());
    QCOMPARE(qvariant_cast<QColor>(drags.first()->mimeData()->colorData()), QColor(40, 50, 60));
    QCOMPARE(drags.first()->source(), &edit);
    // The press did not reach the line edit's own handling: the cursor stays.
    QCOMPARE(edit.cursorPosition(), 6);
    QVERIFY(!edit.hasSelectedText());
}

void TestColorLineEdit::rightPressStartsNoDrag()
{
    ColorLineEdit edit;
    edit.setText(QStringLiteral("abcdef"));
    edit.setCursorPosition(6);
    edit.resize(100, 20);
    QTest::mousePress(&edit, Qt::RightButton, Qt::NoModifier, QPoint(3, 10));
    QVERIFY(edit.findChildren<QDrag *>().isEmpty());
    QCOMPARE(edit.cursorPosition(), 6);
}

void TestColorLineEdit::doubleClick_data()
{
    QTest::addColumn<bool>("filtersItself");
    QTest::addColumn<QColor>("answer");
    QTest::addColumn<int>("expectedCalls");
    QTest::addColumn<QStringList>("expectedSignals");

    QTest::newRow("chosen colour") << false << QColor(7, 8, 9) << 1 << QStringList{"red 7", "green 8", "blue 9"};
    QTest::newRow("cancelled") << false << QColor() << 1 << QStringList{};
    QTest::newRow("self filter opens nothing") << true << QColor(7, 8, 9) << 0 << QStringList{};
}

void TestColorLineEdit::doubleClick()
{
    QFETCH(bool, filtersItself);
    QFETCH(QColor, answer);
    QFETCH(int, expectedCalls);
    QFETCH(QStringList, expectedSignals);

    ColorLineEdit edit;
    edit.setText(QStringLiteral("word"));
    setBase(edit, QColor(90, 80, 70));
    if (filtersItself)
        edit.installEventFilter(&edit);
    ComponentLog log(edit);
    PickerScript::answer = answer;

    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(&edit, &doubleClick);

    QCOMPARE(PickerScript::calls, expectedCalls);
    if (expectedCalls) {
        QCOMPARE(PickerScript::initial, QColor(90, 80, 70));
        QCOMPARE(PickerScript::parent, &edit);
    }
    QCOMPARE(log.entries, expectedSignals);
    // Neither path selects text the way a plain line edit's double click would.
    QVERIFY(!edit.hasSelectedText());
    QCOMPARE(baseOf(edit, QPalette::Active), QColor(90, 80, 70));
}

void TestColorLineEdit::keysReachParentFirst()
{
    QWidget parent;
    auto *edit = new ColorLineEdit(&parent);
    KeyWitness witness(edit);
    parent.installEventFilter(&witness);

    QTest::keyClick(edit, Qt::Key_5);
    QTest::keyClick(edit, Qt::Key_7);

    QCOMPARE(witness.seen, (QStringList{"5 over ''", "7 over '5'"}));
    QCOMPARE(edit->text(), QStringLiteral("57"));
}

void TestColorLineEdit::selfFilterLetsKeysThrough()
{
    ColorLineEdit edit;
    edit.installEventFilter(&edit);
    QTest::keyClicks(&edit, QStringLiteral("12"));
    QCOMPARE(edit.text(), QStringLiteral("12"));
}

QTEST_MAIN(TestColorLineEdit)
#include "test_colorlineedit.moc"
