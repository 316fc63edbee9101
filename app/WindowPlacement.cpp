#include "app/WindowPlacement.h"

#include <QLayout>
#include <QMainWindow>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>

namespace {
const QString GeometryKey = QStringLiteral("window/geometry");
const QString StateKey = QStringLiteral("window/state");
const QString TabKey = QStringLiteral("window/tab");

QTabWidget *tabsOf(const QMainWindow &window)
{
    return window.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
}

// Makes the layouts of a window not yet shown ask every widget for its size
// again: sizes asked for before all widgets were placed are kept otherwise.
void forgetSizes(const QMainWindow &window)
{
    for (QWidget *widget : window.findChildren<QWidget *>())
        widget->updateGeometry();
    for (QLayout *layout : window.findChildren<QLayout *>())
        layout->invalidate();
}

// Top left corner of a rectangle of `size` in the middle of `area`.
QPoint centredIn(const QRect &area, const QSize &size)
{
    return area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
}
} // namespace

WindowPlacement WindowPlacement::load(QSettings &settings)
{
    WindowPlacement placement;
    placement.geometry = settings.value(GeometryKey).toByteArray();
    placement.state = settings.value(StateKey).toByteArray();
    placement.tab = settings.value(TabKey, -1).toInt();
    return placement;
}

void WindowPlacement::save(QSettings &settings) const
{
    settings.setValue(GeometryKey, geometry);
    settings.setValue(StateKey, state);
    settings.setValue(TabKey, tab);
}

WindowPlacement WindowPlacement::of(const QMainWindow &window)
{
    WindowPlacement placement;
    placement.geometry = window.saveGeometry();
    placement.state = window.saveState();
    if (const QTabWidget *tabs = tabsOf(window))
        placement.tab = tabs->currentIndex();
    return placement;
}

void WindowPlacement::applyTo(QMainWindow &window, const QRect &available) const
{
    limitScrollAreas(window);
    // A saved geometry the toolkit cannot read counts as none.
    if (geometry.isEmpty() || !window.restoreGeometry(geometry)) {
        const QSize wanted = firstStartSize(window);
        if (available.isValid() && (wanted.width() > available.width() || wanted.height() > available.height())) {
            // Un-maximised, the window keeps as much of its size as fits.
            const QSize normal = wanted.boundedTo(available.size());
            window.setGeometry(QRect(centredIn(available, normal), normal));
            window.setWindowState(window.windowState() | Qt::WindowMaximized);
        } else {
            window.resize(wanted);
            if (available.isValid())
                window.move(centredIn(available, wanted));
        }
    }
    if (!state.isEmpty())
        window.restoreState(state);
    QTabWidget *tabs = tabsOf(window);
    if (tabs && tab >= 0 && tab < tabs->count())
        tabs->setCurrentIndex(tab);
}

void WindowPlacement::limitScrollAreas(QMainWindow &window)
{
    forgetSizes(window);
    // A scroll area never grows past its contents: width it cannot use goes
    // to its neighbours, such as the scene overview beside the lamps.
    for (QScrollArea *area : window.findChildren<QScrollArea *>()) {
        if (area->widget())
            area->setMaximumWidth(area->widget()->sizeHint().width() + 2 * area->frameWidth());
    }
}

QSize WindowPlacement::firstStartSize(QMainWindow &window)
{
    // A scroll area asks for less than its contents need: for the measure,
    // each one is held at least as large as its contents; the layouts then
    // say how large the window has to be around them.
    // Layouts may still hold sizes from before the lamp editors were added.
    forgetSizes(window);
    const QList<QScrollArea *> areas = window.findChildren<QScrollArea *>();
    QList<QSize> minimums;
    for (QScrollArea *area : areas) {
        minimums << area->minimumSize();
        if (area->widget()) {
            const int frame = 2 * area->frameWidth();
            area->setMinimumSize(area->widget()->sizeHint() + QSize(frame, frame));
        }
    }
    forgetSizes(window);
    const QSize size = window.sizeHint();
    for (int i = 0; i < areas.size(); ++i)
        areas[i]->setMinimumSize(minimums[i]);
    forgetSizes(window);
    return size;
}
