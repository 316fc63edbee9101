#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

// Sets the Base role of all colour groups of the widget's palette. A widget
// whose Base colour already is the given one is left alone, so that showing
// the same colour again costs no palette propagation and no repaint.
inline void setWidgetBaseColor(QWidget *widget, const QColor &color)
{
    const QPalette &current = widget->palette();
    if (current.color(QPalette::Active, QPalette::Base) == color
        && current.color(QPalette::Inactive, QPalette::Base) == color
        && current.color(QPalette::Disabled, QPalette::Base) == color)
        return;
    QPalette changed = current;
    changed.setColor(QPalette::Base, color);
    widget->setPalette(changed);
}
