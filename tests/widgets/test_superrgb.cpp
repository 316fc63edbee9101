#include "FailOnWarnings.h"
#include "widgets/ColorLineEdit.h"
#include "widgets/ColorSlider.h"
#include "widgets/SuperRGB.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QValidator>
#include <QtTest>

namespace {

const char *const componentNames[] = {"Red", "Green", "Blue"};

// Children of the form, found by their object names.
struct LampParts {
    explicit LampParts(SuperRGB &lamp)
    {
        for (int i = 0; i < 3; ++i) {
            const QString name = QLatin1String(componentNames[i]);
            edit[i] = lamp.findChild<ColorLineEdit *>("Edit" + name);
            slider[i] = lamp.findChild<ColorSlider *>("Slider" + name);
            plus[i] = lamp.findChild<QPushButton *>(QStringLiteral("Button%1Plus").arg(name.front()));
            minus[i] = lamp.findChild<QPushButton *>(QStringLiteral("Button%1Minus").arg(name.front()));
            label[i] = lamp.findChild<QLabel *>(QStringLiteral("LabelAddress%1").arg(i + 1));
        }
        swatch = lamp.findChild<ColorLineEdit *>("EditColor");
        groupBox = lamp.findChild<QGroupBox *>("LampGroupBox");
    }

    bool complete() const
    {
        for (int i = 0; i < 3; ++i)
            if (!edit[i] || !slider[i] || !plus[i] || !minus[i] || !label[i])
                return false;
        return swatch && groupBox;
    }

    ColorLineEdit *edit[3] = {};
    ColorSlider *slider[3] = {};
    QPushButton *plus[3] = {};
    QPushButton *minus[3] = {};
    QLabel *label[3] = {};
    ColorLineEdit *swatch = nullptr;
    QGroupBox *groupBox = nullptr;
};

QColor pure(int component, int level)
{
    return QColor(component == 0 ? level : 0, component == 1 ? level : 0, component == 2 ? level : 0);
}

QColor withComponent(QColor color, int component, int level)
{
    if (component == 0)
        color.setRed(level);
    else if (component == 1)
        color.setGreen(level);
    else
        color.setBlue(level);
    return color;
}

QColor baseOf(const QWidget *widget)
{
    return widget->palette().color(QPalette::Active, QPalette::Base);
}

// Counts the key presses that reach the watched widget.
class KeyCounter : public QObject
{
public:
    int presses = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            ++presses;
        return false;
    }
};

QColor pickedColor;
QColor pickColor(const QColor &, QWidget *)
{
    return pickedColor;
}

} // namespace

class TestSuperRGB : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void formTree();
    void construction_data();
    void construction();
    void titleAndAddresses_data();
    void titleAndAddresses();
    void formTexts();
    void validator_data();
    void validator();
    void typingKeepsText_data();
    void typingKeepsText();
    void setterShowsPaddedValue_data();
    void setterShowsPaddedValue();
    void setterAfterTypingTheSameValue();
    void cursorKeysStayInTheLamp();
    void colorChangedOncePerChange_data();
    void colorChangedOncePerChange();
    void buttonsClamp_data();
    void buttonsClamp();
    void setRGB();
    void droppedColorSetsSliders();
    void doubleClicks_data();
    void doubleClicks();
    void selectionSlots();
    void selectedSliderMoves_data();
    void selectedSliderMoves();
    void buttonsUnderSelectedSliderScale_data();
    void buttonsUnderSelectedSliderScale();
    void tabOrder();
};

void TestSuperRGB::formTree()
{
    SuperRGB lamp(0, 0, 0, 0);
    LampParts parts(lamp);
    QVERIFY(parts.complete());
    QCOMPARE(lamp.objectName(), QStringLiteral("Lamp"));
    QCOMPARE(lamp.parentWidget(), nullptr);
    QCOMPARE(lamp.minimumSize(), QSize(80, 420));
    QCOMPARE(lamp.maximumSize(), QSize(120, 420));
    QCOMPARE(lamp.size(), QSize(120, 420));
    QCOMPARE(lamp.font().pointSize(), 6);
    QCOMPARE(parts.groupBox->font().pointSize(), 10);
    QCOMPARE(parts.groupBox->alignment(), Qt::AlignHCenter | Qt::AlignVCenter);

    // Only the three entry fields take the keyboard focus.
    for (QWidget *child : lamp.findChildren<QWidget *>()) {
        const bool entry = child == parts.edit[0] || child == parts.edit[1] || child == parts.edit[2];
        QVERIFY2(entry == (child->focusPolicy() != Qt::NoFocus), qPrintable(child->objectName()));
    }
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(parts.edit[i]->maxLength(), 3);
        QCOMPARE(parts.edit[i]->size(), QSize(21, 21));
        QCOMPARE(parts.edit[i]->font().pointSize(), 7);
        QCOMPARE(parts.edit[i]->alignment(), Qt::AlignCenter);
        QCOMPARE(parts.edit[i]->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::white));
        QCOMPARE(parts.slider[i]->orientation(), Qt::Vertical);
        QCOMPARE(parts.slider[i]->maximum(), 255);
        QCOMPARE(parts.slider[i]->maximumSize(), QSize(25, 256));
        QCOMPARE(parts.plus[i]->text(), QStringLiteral("+"));
        QCOMPARE(parts.minus[i]->text(), QStringLiteral("-"));
    }
    QCOMPARE(parts.slider[2]->minimumSize(), QSize(20, 256));
    QCOMPARE(parts.swatch->maxLength(), 0);
    QVERIFY(parts.swatch->dragEnabled());
    QVERIFY(!parts.swatch->hasFrame());
    QCOMPARE(parts.swatch->cursor().shape(), Qt::CrossCursor);
}

void TestSuperRGB::construction_data()
{
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::newRow("black") << 0 << 0 << 0;
    QTest::newRow("mixed") << 1 << 20 << 255;
}

void TestSuperRGB::construction()
{
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    SuperRGB lamp(red, green, blue, 3);
    LampParts parts(lamp);
    const int levels[3] = {red, green, blue};

    QCOMPARE(lamp.color(), QColor(red, green, blue, 255));
    QCOMPARE(baseOf(parts.swatch), QColor(red, green, blue));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(parts.slider[i]->value(), levels[i]);
        QCOMPARE(parts.edit[i]->text(), QString::asprintf("%03d", levels[i]));
        QCOMPARE(baseOf(parts.edit[i]), pure(i, levels[i]));
        QVERIFY(!parts.slider[i]->isSelected());
    }
}

void TestSuperRGB::titleAndAddresses_data()
{
    QTest::addColumn<int>("lampNumber");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("addresses");
    QTest::newRow("first lamp") << 0 << "L: 1" << QStringList{"1", "2", "3"};
    QTest::newRow("sixth lamp") << 5 << "L: 6" << QStringList{"16", "17", "18"};
    QTest::newRow("last lamp") << 11 << "L: 12" << QStringList{"34", "35", "36"};
}

void TestSuperRGB::titleAndAddresses()
{
    QFETCH(int, lampNumber);
    QFETCH(QString, title);
    QFETCH(QStringList, addresses);
    SuperRGB lamp(0, 0, 0, lampNumber);
    LampParts parts(lamp);
    QCOMPARE(parts.groupBox->title(), title);
    QCOMPARE((QStringList{parts.label[0]->text(), parts.label[1]->text(), parts.label[2]->text()}), addresses);
}

void TestSuperRGB::formTexts()
{
    SuperRGB lamp(0, 0, 0, 0);
    LampParts parts(lamp);
    const QString colours[3] = {"red", "green", "blue"};
    const QString statusTips[3] = {"TAB key next green edit box, SHIFT+TAB previous blue edit box",
                                   "TAB key next blue edit box, SHIFT+TAB previous red edit box",
                                   "TAB key next red edit box, SHIFT+TAB previous green edit box"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(parts.edit[i]->toolTip(), "Value of " + colours[i] + " color <0-255> ");
        QCOMPARE(parts.edit[i]->statusTip(), statusTips[i]);
        QCOMPARE(parts.plus[i]->toolTip(), "Add 1 to " + colours[i]);
        QCOMPARE(parts.plus[i]->statusTip(), "Add 1 to " + colours[i]);
        QCOMPARE(parts.minus[i]->toolTip(), "Remove 1 from " + colours[i]);
        QCOMPARE(parts.minus[i]->statusTip(), "Remove 1 from " + colours[i]);
        QCOMPARE(parts.label[i]->toolTip(), QStringLiteral("DMX addres"));
        QCOMPARE(parts.label[i]->statusTip(), QStringLiteral("DMX addres"));
    }
}

void TestSuperRGB::validator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("state");
    const int ok = QValidator::Acceptable;
    const int no = QValidator::Invalid;
    for (const char *text :
         {"0", "7", "25", "99", "00", "07", "000", "099", "100", "199", "200", "209", "249", "250", "255"})
        QTest::newRow(text) << QString::fromLatin1(text) << ok;
    for (const char *text :
         {"256", "259", "260", "299", "300", "999", "1000", "0000", "-1", "+1", "a", "1a", " 1", "1 ", "2.5"})
        QTest::newRow(text) << QString::fromLatin1(text) << no;
    QTest::newRow("empty") << QString() << int(QValidator::Intermediate);
}

void TestSuperRGB::validator()
{
    QFETCH(QString, text);
    QFETCH(int, state);
    SuperRGB lamp(0, 0, 0, 0);
    LampParts parts(lamp);
    const QValidator *shared = parts.edit[0]->validator();
    QVERIFY(shared);
    QCOMPARE(parts.edit[1]->validator(), shared);
    QCOMPARE(parts.edit[2]->validator(), shared);
    int position = 0;
    QCOMPARE(int(shared->validate(text, position)), state);
}

void TestSuperRGB::typingKeepsText_data()
{
    QTest::addColumn<int>("component");
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("value");
    QTest::newRow("blue 12 over 200") << 2 << 200 << "12" << 12;
    QTest::newRow("red 255 over 0") << 0 << 0 << "255" << 255;
    QTest::newRow("green 7 over 100") << 1 << 100 << "7" << 7;
    QTest::newRow("green 256 refused at the 6") << 1 << 100 << "256" << 25;
}

void TestSuperRGB::typingKeepsText()
{
    QFETCH(int, component);
    QFETCH(int, before);
    QFETCH(QString, typed);
    QFETCH(int, value);
    SuperRGB lamp(30, 40, 50, 0);
    LampParts parts(lamp);
    const QColor other = lamp.color();
    parts.slider[component]->setValue(before);
    QCOMPARE(parts.edit[component]->text(), QString::asprintf("%03d", before));

    parts.edit[component]->selectAll();
    QTest::keyClicks(parts.edit[component], typed);

    const QString shown = typed.left(QString::number(value).size());
    QCOMPARE(parts.edit[component]->text(), shown);
    QCOMPARE(parts.slider[component]->value(), value);
    QCOMPARE(lamp.color(), withComponent(other, component, value));
    QCOMPARE(baseOf(parts.edit[component]), pure(component, value));
}

void TestSuperRGB::setterShowsPaddedValue_data()
{
    QTest::addColumn<int>("component");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("green 7") << 1 << 7 << "007";
    QTest::newRow("red 0") << 0 << 0 << "000";
    QTest::newRow("blue 42") << 2 << 42 << "042";
    QTest::newRow("red 255") << 0 << 255 << "255";
    QTest::newRow("green unchanged 60") << 1 << 60 << "060";
}

void TestSuperRGB::setterShowsPaddedValue()
{
    QFETCH(int, component);
    QFETCH(int, value);
    QFETCH(QString, text);
    SuperRGB lamp(50, 60, 70, 0);
    LampParts parts(lamp);
    const QColor before = lamp.color();

    if (component == 0)
        lamp.setRedColor(value);
    else if (component == 1)
        lamp.setGreenColor(value);
    else
        lamp.setBlueColor(value);

    QCOMPARE(parts.edit[component]->text(), text);
    QCOMPARE(baseOf(parts.edit[component]), pure(component, value));
    QCOMPARE(parts.slider[component]->value(), value);
    QCOMPARE(lamp.color(), withComponent(before, component, value));
    QCOMPARE(baseOf(parts.swatch), lamp.color());
}

// A typed value that the slider already has moves nothing; the next setter
// must still reach the field and the slider, not the colour alone.
void TestSuperRGB::setterAfterTypingTheSameValue()
{
    SuperRGB lamp(0, 60, 70, 0);
    LampParts parts(lamp);
    parts.edit[0]->selectAll();
    QTest::keyClicks(parts.edit[0], "0");
    QCOMPARE(parts.edit[0]->text(), "0");

    lamp.setRedColor(200);
    QCOMPARE(parts.edit[0]->text(), "200");
    QCOMPARE(parts.slider[0]->value(), 200);
    QCOMPARE(lamp.color(), QColor(200, 60, 70));
}

// The lamp sees a key typed into a field, what holds the lamp does not.
void TestSuperRGB::cursorKeysStayInTheLamp()
{
    QWidget row;
    auto *lamp = new SuperRGB(10, 20, 30, 0);
    lamp->setParent(&row);
    LampParts parts(*lamp);
    KeyCounter inLamp;
    KeyCounter inRow;
    lamp->installEventFilter(&inLamp);
    row.installEventFilter(&inRow);
    parts.edit[1]->setCursorPosition(3);

    QTest::keyClick(parts.edit[1], Qt::Key_Left);
    QTest::keyClick(parts.edit[1], Qt::Key_Right);
    QTest::keyClick(parts.edit[1], Qt::Key_Left);
    QCOMPARE(parts.edit[1]->cursorPosition(), 2);
    QCOMPARE(inLamp.presses, 3);
    QCOMPARE(inRow.presses, 0);
}

void TestSuperRGB::colorChangedOncePerChange_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QColor>("expected");
    // The lamp starts at (10, 20, 30).
    QTest::newRow("red setter") << "setRedColor 99" << QColor(99, 20, 30);
    QTest::newRow("green setter") << "setGreenColor 7" << QColor(10, 7, 30);
    QTest::newRow("blue setter") << "setBlueColor 0" << QColor(10, 20, 0);
    QTest::newRow("slider") << "slider green 128" << QColor(10, 128, 30);
    QTest::newRow("typed") << "type blue 5" << QColor(10, 20, 5);
    QTest::newRow("plus button") << "plus red" << QColor(11, 20, 30);
    QTest::newRow("minus button") << "minus blue" << QColor(10, 20, 29);
    QTest::newRow("plus slot") << "plus slot green" << QColor(10, 21, 30);
}

void TestSuperRGB::colorChangedOncePerChange()
{
    QFETCH(QString, how);
    QFETCH(QColor, expected);
    SuperRGB lamp(10, 20, 30, 0);
    LampParts parts(lamp);
    QSignalSpy changed(&lamp, &SuperRGB::colorChanged);

    if (how == "setRedColor 99")
        lamp.setRedColor(99);
    else if (how == "setGreenColor 7")
        lamp.setGreenColor(7);
    else if (how == "setBlueColor 0")
        lamp.setBlueColor(0);
    else if (how == "slider green 128")
        parts.slider[1]->setValue(128);
    else if (how == "type blue 5") {
        parts.edit[2]->selectAll();
        QTest::keyClick(parts.edit[2], Qt::Key_5);
    } else if (how == "plus red")
        QTest::mouseClick(parts.plus[0], Qt::LeftButton);
    else if (how == "minus blue")
        QTest::mouseClick(parts.minus[2], Qt::LeftButton);
    else if (how == "plus slot green")
        lamp.greenPlusPlus();
    else
        QFAIL("unknown step");

    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().value<QColor>(), expected);
    QCOMPARE(lamp.color(), expected);
}

void TestSuperRGB::buttonsClamp_data()
{
    QTest::addColumn<int>("component");
    QTest::addColumn<bool>("plus");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("expected");
    QTest::newRow("red minus at 0") << 0 << false << 0 << 0;
    QTest::newRow("red plus at 255") << 0 << true << 255 << 255;
    QTest::newRow("green plus at 254") << 1 << true << 254 << 255;
    QTest::newRow("blue minus at 1") << 2 << false << 1 << 0;
    QTest::newRow("blue plus at 0") << 2 << true << 0 << 1;
}

void TestSuperRGB::buttonsClamp()
{
    QFETCH(int, component);
    QFETCH(bool, plus);
    QFETCH(int, start);
    QFETCH(int, expected);
    SuperRGB lamp(0, 0, 0, 0);
    LampParts parts(lamp);
    parts.slider[component]->setValue(start);
    QTest::mouseClick(plus ? parts.plus[component] : parts.minus[component], Qt::LeftButton);
    QCOMPARE(parts.slider[component]->value(), expected);
    QCOMPARE(parts.edit[component]->text(), QString::asprintf("%03d", expected));
    QCOMPARE(lamp.color(), withComponent(QColor(0, 0, 0), component, expected));
}

void TestSuperRGB::setRGB()
{
    SuperRGB lamp(200, 200, 200, 0);
    LampParts parts(lamp);
    lamp.setRGB(10, 20, 30);
    QCOMPARE(parts.slider[0]->value(), 10);
    QCOMPARE(parts.slider[1]->value(), 20);
    QCOMPARE(parts.slider[2]->value(), 30);
    QCOMPARE(lamp.color(), QColor(10, 20, 30));
    QCOMPARE(parts.edit[2]->text(), QStringLiteral("030"));

    // Out of range values are clamped by the sliders, even huge unsigned ones.
    lamp.setRGB(256, 4000000000u, 0);
    QCOMPARE(lamp.color(), QColor(255, 255, 0));
}

void TestSuperRGB::droppedColorSetsSliders()
{
    SuperRGB lamp(1, 2, 3, 0);
    LampParts parts(lamp);
    QMimeData mime;
    mime.setColorData(QColor(10, 20, 30));
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(parts.swatch, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(parts.swatch, &drop);

    QCOMPARE(lamp.color(), QColor(10, 20, 30));
    QCOMPARE(parts.slider[0]->value(), 10);
    QCOMPARE(parts.slider[1]->value(), 20);
    QCOMPARE(parts.slider[2]->value(), 30);
    QCOMPARE(parts.edit[1]->text(), QStringLiteral("020"));
    QCOMPARE(baseOf(parts.swatch), QColor(10, 20, 30));
}

void TestSuperRGB::doubleClicks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QColor>("picked");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("swatch, colour chosen") << "EditColor" << QColor(70, 80, 90) << QColor(70, 80, 90);
    QTest::newRow("swatch, cancelled") << "EditColor" << QColor() << QColor(1, 2, 3);
    QTest::newRow("entry field") << "EditRed" << QColor(70, 80, 90) << QColor(1, 2, 3);
    QTest::newRow("entry field blue") << "EditBlue" << QColor(70, 80, 90) << QColor(1, 2, 3);
}

void TestSuperRGB::doubleClicks()
{
    QFETCH(QString, target);
    QFETCH(QColor, picked);
    QFETCH(QColor, expected);
    SuperRGB lamp(1, 2, 3, 0);
    auto *edit = lamp.findChild<ColorLineEdit *>(target);
    QVERIFY(edit);
    const QString textBefore = edit->text();
    pickedColor = picked;
    const ColorLineEdit::ColorPicker previous = ColorLineEdit::setColorPicker(&pickColor);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(3, 3), QPointF(3, 3), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(edit, &doubleClick);
    ColorLineEdit::setColorPicker(previous);

    QCOMPARE(lamp.color(), expected);
    if (target != "EditColor") {
        QCOMPARE(edit->text(), textBefore);
        QVERIFY(!edit->hasSelectedText());
    }
}

void TestSuperRGB::selectionSlots()
{
    SuperRGB lamp(100, 100, 100, 0);
    LampParts parts(lamp);
    lamp.selectGreen(true);
    QVERIFY(!parts.slider[0]->isSelected());
    QVERIFY(parts.slider[1]->isSelected());
    QVERIFY(!parts.slider[2]->isSelected());

    lamp.setValueIfSelected(40);
    QCOMPARE(lamp.color(), QColor(100, 40, 100));

    lamp.setAll(true);
    lamp.changePercentifSelected(10);
    QCOMPARE(lamp.color(), QColor(115, 49, 115));

    lamp.selectRed(false);
    lamp.selectBlue(false);
    lamp.changePercentifSelected(-10);
    QCOMPARE(lamp.color(), QColor(115, 40, 115));

    lamp.setAll(false);
    lamp.setValueIfSelected(0);
    QCOMPARE(lamp.color(), QColor(115, 40, 115));
}

void TestSuperRGB::selectedSliderMoves_data()
{
    QTest::addColumn<int>("component");
    QTest::addColumn<bool>("selected");
    QTest::newRow("red selected") << 0 << true;
    QTest::newRow("green selected") << 1 << true;
    QTest::newRow("blue selected") << 2 << true;
    QTest::newRow("red unselected") << 0 << false;
    QTest::newRow("blue unselected") << 2 << false;
}

void TestSuperRGB::selectedSliderMoves()
{
    QFETCH(int, component);
    QFETCH(bool, selected);
    SuperRGB lamp(0, 0, 0, 0);
    LampParts parts(lamp);
    QSignalSpy moved(&lamp, &SuperRGB::selectedSliderValueChange);
    parts.slider[component]->setSelected(selected);
    // A drag of the handle: the slider is down while its position moves.
    parts.slider[component]->setSliderDown(true);
    parts.slider[component]->setSliderPosition(66);
    parts.slider[component]->setSliderDown(false);
    QCOMPARE(moved.count(), selected ? 1 : 0);
    if (selected)
        QCOMPARE(moved.first().first().toInt(), 66);
}

void TestSuperRGB::buttonsUnderSelectedSliderScale_data()
{
    QTest::addColumn<int>("component");
    QTest::addColumn<bool>("plus");
    QTest::addColumn<QList<bool>>("selected");
    QTest::addColumn<QColor>("expected");
    // From (100, 100, 100): scaling by 10 % gives 115 up and 85 down; an
    // unselected slider under the button steps alone by 1.
    QTest::newRow("plus on selected red, green selected too")
        << 0 << true << QList<bool>{true, true, false} << QColor(115, 115, 100);
    QTest::newRow("minus on selected blue, all selected")
        << 2 << false << QList<bool>{true, true, true} << QColor(85, 85, 85);
    QTest::newRow("plus on unselected green, red selected")
        << 1 << true << QList<bool>{true, false, false} << QColor(100, 101, 100);
    QTest::newRow("minus on unselected red, none selected")
        << 0 << false << QList<bool>{false, false, false} << QColor(99, 100, 100);
}

// A lamp alone scales its own selected sliders.
void TestSuperRGB::buttonsUnderSelectedSliderScale()
{
    QFETCH(int, component);
    QFETCH(bool, plus);
    QFETCH(QList<bool>, selected);
    QFETCH(QColor, expected);
    SuperRGB lamp(100, 100, 100, 0);
    LampParts parts(lamp);
    for (int i = 0; i < 3; ++i)
        parts.slider[i]->setSelected(selected.at(i));
    QTest::mouseClick(plus ? parts.plus[component] : parts.minus[component], Qt::LeftButton);
    QCOMPARE(lamp.color(), expected);
    QCOMPARE(lamp.hasSelectedSlider(), selected.contains(true));
}

void TestSuperRGB::tabOrder()
{
    SuperRGB lamp(0, 0, 0, 0);
    LampParts parts(lamp);
    lamp.show();
    QApplication::setActiveWindow(&lamp);
    QVERIFY(QTest::qWaitForWindowActive(&lamp));
    parts.edit[0]->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), parts.edit[0]);
    QTest::keyClick(parts.edit[0], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), parts.edit[1]);
    QTest::keyClick(parts.edit[1], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), parts.edit[2]);
    QTest::keyClick(parts.edit[2], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), parts.edit[0]);
    QTest::keyClick(parts.edit[0], Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), parts.edit[2]);
}

QTEST_MAIN(TestSuperRGB)
#include "test_superrgb.moc"
