#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>

class QMainWindow;
class QSettings;

// Where the main window stands, how large it is, whether it is maximised,
// where its tool bar sits and which tab it shows: kept in the program's
// settings between runs and handed to the window that a language switch
// builds in place of the old one. Only the window's own look is kept here,
// nothing that concerns files or the device.
class WindowPlacement
{
public:
    // The placement saved in `settings`; empty when none was saved yet.
    static WindowPlacement load(QSettings &settings);
    void save(QSettings &settings) const;

    // The placement of `window` as it stands now.
    static WindowPlacement of(const QMainWindow &window);

    // Puts a window that is not shown yet where this placement says. Without
    // a saved geometry (the first start) the window gets firstStartSize, or
    // is maximised on `available` (the screen's available geometry) when
    // that does not fit there.
    void applyTo(QMainWindow &window, const QRect &available) const;

    // The size at which the window shows its scroll areas' contents, the
    // rows of lamp editors, without scrolling. For the measure the scroll
    // areas' minimum sizes change and are then put back.
    static QSize firstStartSize(QMainWindow &window);

    // Keeps each scroll area of `window` from growing wider than its
    // contents, so that the width it cannot use goes to its neighbours.
    static void limitScrollAreas(QMainWindow &window);

    bool isEmpty() const { return geometry.isEmpty(); }

private:
    QByteArray geometry; // QWidget::saveGeometry: place, size, maximised
    QByteArray state;    // QMainWindow::saveState: the tool bar
    int tab = -1;        // index in the window's tab widget; -1: none
};
