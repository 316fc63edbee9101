#include "widgets/ColorSlider.h"

#include <QGuiApplication>
#include <QMouseEvent>

#include <algorithm>

ColorSlider::ColorSlider(QWidget *parent)
    : ColorSlider(Qt::Vertical, parent)
{
}

ColorSlider::ColorSlider(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent)
{
    setRange(MinimumValue, MaximumValue);
    QSlider::setValue(MinimumValue);
    setAcceptDrops(false);
}

bool ColorSlider::isSelected() const
{
    return selected;
}

void ColorSlider::setSelected(bool state)
{
    selected = state;
    update();
}

void ColorSlider::setValue(int value)
{
    QSlider::setValue(value);
    update();
}

void ColorSlider::setValueIfSelected(int value)
{
    if (selected)
        setValue(value);
}

void ColorSlider::plus()
{
    if (value() < maximum())
        setValue(value() + 1);
}

void ColorSlider::minus()
{
    if (value() > minimum())
        setValue(value() - 1);
}

void ColorSlider::changePercentifSelected(int percent)
{
    if (!selected)
        return;
    // 64-bit product so that no percentage can overflow; the quotient truncates
    // toward zero like the plain int division it stands for. The step of 5
    // lets a dark component (where a percentage of it is 0) still move.
    const qint64 current = value();
    const qint64 scaled = current + (qint64(percent) * current) / 100 + (percent > 0 ? 5 : -5);
    setValue(int(std::clamp<qint64>(scaled, MinimumValue, MaximumValue)));
}

bool ColorSlider::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
        applyHoverModifiers();
        update();
        break;
    default:
        // Deliberately the plain widget handling: the slider base class would
        // track the hovered sub-control itself, which the style does not use.
        QWidget::event(event);
        break;
    }
    return true;
}

void ColorSlider::applyHoverModifiers()
{
    // A hover event carries no reliable modifier state of its own; what counts
    // is what the user holds at the moment the pointer crosses the slider.
    const Qt::KeyboardModifiers modifiers = QGuiApplication::keyboardModifiers();
    if (!(modifiers & Qt::ShiftModifier))
        return;
    selected = !(modifiers & Qt::ControlModifier);
}

void ColorSlider::mousePressEvent(QMouseEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool shiftLeft = (modifiers & Qt::ShiftModifier) && event->button() == Qt::LeftButton;
    if (ctrl || shiftLeft)
        selected = !selected;
    else
        QSlider::mousePressEvent(event);
    update();
}

void ColorSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (event->modifiers() & Qt::ShiftModifier) {
        if (!selected) {
            selected = true;
            update();
        }
        return;
    }
    QSlider::mouseMoveEvent(event);
}
