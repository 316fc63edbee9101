#include "app/ExtFlashBars.h"

#include <QProgressBar>

ExtFlashBars::ExtFlashBars(QProgressBar *writeBar, QProgressBar *readBar, QObject *parent)
    : QObject(parent)
    , writeBar(writeBar)
    , readBar(readBar)
{
}

void ExtFlashBars::setFollowing(bool nowFollowing)
{
    following = nowFollowing;
    if (!following)
        return;
    if (keptWrite && writeBar)
        writeBar->setValue(*keptWrite);
    if (keptRead && readBar)
        readBar->setValue(*keptRead);
    keptWrite.reset();
    keptRead.reset();
}

void ExtFlashBars::setChangeRunning(bool running)
{
    if (running) {
        keptWrite.reset();
        keptRead.reset();
    }
    changeRunning = running;
}

void ExtFlashBars::showWritePercent(int percent)
{
    show(writeBar, keptWrite, percent);
}

void ExtFlashBars::showReadPercent(int percent)
{
    show(readBar, keptRead, percent);
}

void ExtFlashBars::show(QProgressBar *bar, std::optional<int> &kept, int percent)
{
    if (following) {
        if (bar)
            bar->setValue(percent);
    } else if (changeRunning) {
        kept = percent;
    }
}
