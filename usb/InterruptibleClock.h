#pragma once

#include "usb/Clock.h"

#include <functional>

// Another clock's time with a stop request of its own: a command that can be
// interrupted (a signal, a closing window) hands this to the work it runs.
class InterruptibleClock : public Clock
{
public:
    InterruptibleClock(Clock &time, std::function<bool()> requested);

    qint64 now() override;
    void sleep(int milliseconds) override;
    // The own request only.
    bool stopRequested() override;

private:
    Clock &time;
    std::function<bool()> requested;
};
