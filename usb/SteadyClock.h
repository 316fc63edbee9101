#pragma once

#include "usb/Clock.h"

#include <QElapsedTimer>

// Real time: a monotonic clock and sleeps of the calling thread.
class SteadyClock : public Clock
{
public:
    SteadyClock();

    qint64 now() override;
    void sleep(int milliseconds) override;

private:
    QElapsedTimer elapsed;
};
