#include "FailOnWarnings.h"
#include "widgets/ColorSlider.h"

#include <QApplication>
#include <QHoverEvent>
#include <QMouseEvent>
#include <QtTest>

#include <climits>

class TestColorSlider : public QObject
{
    Q_OBJECT

private slots:
    void init() { failOnUnexpectedWarnings(); }
    void newSliderIsBlankAndUnmarked_data();
    void newSliderIsBlankAndUnmarked();
    void pressModifiers_data();
    void pressModifiers();
    void moveModifiers_data();
    void moveModifiers();
    void hoverModifiers_data();
    void hoverModifiers();
    void changePercentifSelected_data();
    void changePercentifSelected();
    void setValueIfSelected_data();
    void setValueIfSelected();
    void plusMinusClamp_data();
    void plusMinusClamp();
    void setValueClamps_data();
    void setValueClamps();

private:
    static void prepare(ColorSlider &slider, int value, bool selected);
    static void holdModifiers(QWindow *window, Qt::KeyboardModifiers modifiers);
};

void TestColorSlider::prepare(ColorSlider &slider, int value, bool selected)
{
    slider.resize(25, 256);
    slider.setPageStep(10);
    slider.setValue(value);
    slider.setSelected(selected);
}

// Brings the application's keyboard modifier state to the given keys by
// pressing them through the window system, as a user holding them would.
void TestColorSlider::holdModifiers(QWindow *window, Qt::KeyboardModifiers modifiers)
{
    QTest::keyRelease(window, Qt::Key_Shift, Qt::NoModifier);
    QTest::keyRelease(window, Qt::Key_Control, Qt::NoModifier);
    Qt::KeyboardModifiers held = Qt::NoModifier;
    if (modifiers & Qt::ShiftModifier) {
        held |= Qt::ShiftModifier;
        QTest::keyPress(window, Qt::Key_Shift, held);
    }
    if (modifiers & Qt::ControlModifier) {
        held |= Qt::ControlModifier;
        QTest::keyPress(window, Qt::Key_Control, held);
    }
    QCOMPARE(QGuiApplication::keyboardModifiers(), modifiers);
}

void TestColorSlider::newSliderIsBlankAndUnmarked_data()
{
    QTest::addColumn<bool>("formConstructor");
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::newRow("form constructor") << true << Qt::Vertical;
    QTest::newRow("vertical") << false << Qt::Vertical;
    QTest::newRow("horizontal") << false << Qt::Horizontal;
}

void TestColorSlider::newSliderIsBlankAndUnmarked()
{
    QFETCH(bool, formConstructor);
    QFETCH(Qt::Orientation, orientation);
    QWidget parent;
    ColorSlider *slider = formConstructor ? new ColorSlider(&parent) : new ColorSlider(orientation, &parent);
    QCOMPARE(slider->parentWidget(), &parent);
    QCOMPARE(slider->orientation(), orientation);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 255);
    QCOMPARE(slider->value(), 0);
    QVERIFY(!slider->isSelected());
    QVERIFY(!slider->acceptDrops());
}

void TestColorSlider::pressModifiers_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("startSelected");
    QTest::addColumn<bool>("expectSelected");
    QTest::addColumn<bool>("passedOn");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::ControlModifier;

    QTest::newRow("ctrl left marks") << ctrl << Qt::LeftButton << false << true << false;
    QTest::newRow("ctrl left unmarks") << ctrl << Qt::LeftButton << true << false << false;
    QTest::newRow("ctrl right toggles") << ctrl << Qt::RightButton << false << true << false;
    QTest::newRow("ctrl middle toggles") << ctrl << Qt::MiddleButton << true << false << false;
    QTest::newRow("shift ctrl left toggles") << both << Qt::LeftButton << false << true << false;
    QTest::newRow("shift ctrl right toggles") << both << Qt::RightButton << true << false << false;
    QTest::newRow("shift left marks") << shift << Qt::LeftButton << false << true << false;
    QTest::newRow("shift left unmarks") << shift << Qt::LeftButton << true << false << false;
    QTest::newRow("shift right is a normal press") << shift << Qt::RightButton << true << true << true;
    QTest::newRow("shift middle is a normal press") << shift << Qt::MiddleButton << false << false << true;
    QTest::newRow("plain left is a normal press") << none << Qt::LeftButton << true << true << true;
    QTest::newRow("plain right is a normal press") << none << Qt::RightButton << false << false << true;
}

void TestColorSlider::pressModifiers()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, startSelected);
    QFETCH(bool, expectSelected);
    QFETCH(bool, passedOn);

    ColorSlider slider;
    prepare(slider, 100, startSelected);
    // Near the top of the groove, far from the handle at 100: a normal press
    // there moves the value (left: a page, middle: to the spot) or, for
    // buttons the slider does not use, is ignored.
    const QPoint top(slider.width() / 2, 3);
    QMouseEvent press(QEvent::MouseButtonPress, top, slider.mapToGlobal(top), button, button, modifiers);
    QApplication::sendEvent(&slider, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, top, slider.mapToGlobal(top), button, Qt::NoButton, modifiers);
    QApplication::sendEvent(&slider, &release);

    QCOMPARE(slider.isSelected(), expectSelected);
    const bool handledNormally = slider.value() != 100 || !press.isAccepted();
    QCOMPARE(handledNormally, passedOn);
    if (!passedOn)
        QCOMPARE(slider.value(), 100);
}

void TestColorSlider::moveModifiers_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("startSelected");
    QTest::addColumn<bool>("expectSelected");
    QTest::addColumn<bool>("valueFollows");

    QTest::newRow("shift marks") << Qt::KeyboardModifiers(Qt::ShiftModifier) << false << true << false;
    QTest::newRow("shift keeps the mark") << Qt::KeyboardModifiers(Qt::ShiftModifier) << true << true << false;
    QTest::newRow("shift ctrl marks too")
        << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier) << false << true << false;
    QTest::newRow("plain drags") << Qt::KeyboardModifiers(Qt::NoModifier) << false << false << true;
    QTest::newRow("plain drag keeps the mark") << Qt::KeyboardModifiers(Qt::NoModifier) << true << true << true;
    QTest::newRow("ctrl drags") << Qt::KeyboardModifiers(Qt::ControlModifier) << false << false << true;
}

void TestColorSlider::moveModifiers()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, startSelected);
    QFETCH(bool, expectSelected);
    QFETCH(bool, valueFollows);

    ColorSlider slider;
    prepare(slider, 0, startSelected);
    // The middle button puts the handle under the pointer and grabs it, so
    // that the following moves drag it when handled normally.
    const QPoint middle(slider.width() / 2, slider.height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, middle, slider.mapToGlobal(middle), Qt::MiddleButton, Qt::MiddleButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&slider, &press);
    QVERIFY(slider.isSliderDown());
    const int grabbed = slider.sliderPosition();

    const QPoint top(slider.width() / 2, 10);
    QMouseEvent move(QEvent::MouseMove, top, slider.mapToGlobal(top), Qt::NoButton, Qt::MiddleButton, modifiers);
    QApplication::sendEvent(&slider, &move);

    QCOMPARE(slider.isSelected(), expectSelected);
    QCOMPARE(slider.sliderPosition() != grabbed, valueFollows);
}

void TestColorSlider::hoverModifiers_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("held");
    QTest::addColumn<QEvent::Type>("type");
    QTest::addColumn<bool>("startSelected");
    QTest::addColumn<bool>("expectSelected");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers both = Qt::ShiftModifier | Qt::ControlModifier;
    for (QEvent::Type type : {QEvent::HoverEnter, QEvent::HoverLeave}) {
        const QByteArray name = type == QEvent::HoverEnter ? "enter" : "leave";
        QTest::newRow(name + " shift marks") << shift << type << false << true;
        QTest::newRow(name + " shift keeps mark") << shift << type << true << true;
        QTest::newRow(name + " shift ctrl unmarks") << both << type << true << false;
        QTest::newRow(name + " shift ctrl keeps unmarked") << both << type << false << false;
        QTest::newRow(name + " plain keeps unmarked") << none << type << false << false;
        QTest::newRow(name + " plain keeps mark") << none << type << true << true;
        QTest::newRow(name + " ctrl keeps mark") << ctrl << type << true << true;
        QTest::newRow(name + " ctrl keeps unmarked") << ctrl << type << false << false;
    }
}

void TestColorSlider::hoverModifiers()
{
    QFETCH(Qt::KeyboardModifiers, held);
    QFETCH(QEvent::Type, type);
    QFETCH(bool, startSelected);
    QFETCH(bool, expectSelected);

    ColorSlider slider;
    prepare(slider, 77, startSelected);
    slider.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    holdModifiers(slider.windowHandle(), held);

    // The hover event itself claims no modifiers: what counts is what the
    // user holds at that moment.
    const QPointF inside(5, 5);
    QHoverEvent hover(type, inside, inside, inside, Qt::NoModifier);
    QVERIFY(QApplication::sendEvent(&slider, &hover));
    holdModifiers(slider.windowHandle(), Qt::NoModifier);

    QCOMPARE(slider.isSelected(), expectSelected);
    QCOMPARE(slider.value(), 77);
}

void TestColorSlider::changePercentifSelected_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("expected");

    QTest::newRow("100 +10") << 100 << 10 << true << 115;
    QTest::newRow("100 -10") << 100 << -10 << true << 85;
    QTest::newRow("0 +50 steps up") << 0 << 50 << true << 5;
    QTest::newRow("3 0 steps down to 0") << 3 << 0 << true << 0;
    QTest::newRow("100 +200 clamps") << 100 << 200 << true << 255;
    QTest::newRow("255 -1 truncates toward zero") << 255 << -1 << true << 248;
    QTest::newRow("99 +1 truncates") << 99 << 1 << true << 104;
    QTest::newRow("10 -100 clamps at 0") << 10 << -100 << true << 0;
    QTest::newRow("0 -10 stays 0") << 0 << -10 << true << 0;
    QTest::newRow("255 +1 stays 255") << 255 << 1 << true << 255;
    QTest::newRow("huge percent") << 200 << INT_MAX << true << 255;
    QTest::newRow("huge negative percent") << 200 << INT_MIN << true << 0;
    QTest::newRow("unselected +10") << 100 << 10 << false << 100;
    QTest::newRow("unselected 0") << 3 << 0 << false << 3;
}

void TestColorSlider::changePercentifSelected()
{
    QFETCH(int, value);
    QFETCH(int, percent);
    QFETCH(bool, selected);
    QFETCH(int, expected);

    ColorSlider slider;
    prepare(slider, value, selected);
    slider.changePercentifSelected(percent);
    QCOMPARE(slider.value(), expected);
    QCOMPARE(slider.isSelected(), selected);
}

void TestColorSlider::setValueIfSelected_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("unmarked") << false << 40 << 12;
    QTest::newRow("marked") << true << 40 << 40;
    QTest::newRow("marked clamps high") << true << 999 << 255;
    QTest::newRow("marked clamps low") << true << -3 << 0;
}

void TestColorSlider::setValueIfSelected()
{
    QFETCH(bool, selected);
    QFETCH(int, value);
    QFETCH(int, expected);
    ColorSlider slider;
    prepare(slider, 12, selected);
    slider.setValueIfSelected(value);
    QCOMPARE(slider.value(), expected);
}

void TestColorSlider::plusMinusClamp_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("plus");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("changes");
    QTest::newRow("plus at 255") << 255 << true << 255 << 0;
    QTest::newRow("plus at 254") << 254 << true << 255 << 1;
    QTest::newRow("plus at 0") << 0 << true << 1 << 1;
    QTest::newRow("minus at 0") << 0 << false << 0 << 0;
    QTest::newRow("minus at 1") << 1 << false << 0 << 1;
    QTest::newRow("minus at 255") << 255 << false << 254 << 1;
}

void TestColorSlider::plusMinusClamp()
{
    QFETCH(int, start);
    QFETCH(bool, plus);
    QFETCH(int, expected);
    QFETCH(int, changes);
    ColorSlider slider;
    prepare(slider, start, false);
    QSignalSpy valueChanged(&slider, &QSlider::valueChanged);
    if (plus)
        slider.plus();
    else
        slider.minus();
    QCOMPARE(slider.value(), expected);
    QCOMPARE(valueChanged.count(), changes);
}

void TestColorSlider::setValueClamps_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << 128 << 128;
    QTest::newRow("above") << 256 << 255;
    QTest::newRow("far above") << INT_MAX << 255;
    QTest::newRow("below") << -1 << 0;
}

void TestColorSlider::setValueClamps()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    ColorSlider slider;
    slider.setValue(value);
    QCOMPARE(slider.value(), expected);
}

QTEST_MAIN(TestColorSlider)
#include "test_colorslider.moc"
