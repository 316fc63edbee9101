#pragma once

#include <QString>
#include <QWidget>

// A window's title as the window system shows it: the toolkit puts "*" where
// the title has its "[*]" placeholder while the window is modified, and
// nothing there otherwise.
inline QString shownTitle(const QWidget &window)
{
    QString title = window.windowTitle();
    return title.replace(QStringLiteral("[*]"), window.isWindowModified() ? QStringLiteral("*") : QString());
}
