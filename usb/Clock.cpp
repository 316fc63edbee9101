#include "usb/Clock.h"

#include "usb/SharedVirtualClock.h"
#include "usb/SteadyClock.h"

#include <atomic>

namespace {

std::atomic<Clock *> replacement{nullptr};

Clock &processClock()
{
    // Chosen once; never destroyed, so that a wait during static destruction
    // still finds it.
    static Clock *const clock = []() -> Clock * {
        if (Clock *shared = SharedVirtualClock::fromEnvironment())
            return shared;
        return new SteadyClock;
    }();
    return *clock;
}

} // namespace

Clock &Clock::standard()
{
    if (Clock *clock = replacement.load())
        return *clock;
    return processClock();
}

void Clock::setStandard(Clock *clock)
{
    replacement.store(clock);
}
