#include "usb/InterruptibleClock.h"

InterruptibleClock::InterruptibleClock(Clock &time, std::function<bool()> requested)
    : time(time)
    , requested(std::move(requested))
{
}

qint64 InterruptibleClock::now()
{
    return time.now();
}

void InterruptibleClock::sleep(int milliseconds)
{
    time.sleep(milliseconds);
}

bool InterruptibleClock::stopRequested()
{
    return requested && requested();
}
