#pragma once

#include <QtGlobal>

// Time as every wait of the device code sees it: a monotonic count of
// milliseconds, a sleep, and whether whoever runs the work has asked it to
// stop. The firmware change, the lighting transfers and the transport's
// recovery after a lost unit all wait on one of these, so that a run can be
// put on another clock (the emulator's virtual one) as a whole.
class Clock
{
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start; never goes backwards.
    virtual qint64 now() = 0;
    virtual void sleep(int milliseconds) = 0;
    // Asked at the safe points of long work; true ends the work there.
    virtual bool stopRequested() { return false; }

    // The clock of the process: a steady real one, or the virtual clock that
    // a run on the device emulator shares (SharedVirtualClock::fromEnvironment).
    static Clock &standard();
    // Puts another clock in the place of the process's own, for tests that
    // drive every wait in the process; nullptr gives the process's own back.
    // Set it while nothing waits.
    static void setStandard(Clock *clock);
};
