#include "usb/SteadyClock.h"

#include <QThread>

SteadyClock::SteadyClock()
{
    elapsed.start();
}

qint64 SteadyClock::now()
{
    return elapsed.elapsed();
}

void SteadyClock::sleep(int milliseconds)
{
    if (milliseconds > 0)
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}
