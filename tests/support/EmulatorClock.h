#pragma once

#include "sim/Vt520Sim.h"
#include "usb/Clock.h"

#include <functional>

// The emulator's bus clock as the product's clock: a wait advances it when
// it is virtual (and passes for real when not), so that the product's waits
// and the emulated units' re-enumeration run on one time. A test may watch
// every wait before it passes (and hold it there), and may ask the work to
// stop.
class EmulatorClock : public Clock
{
public:
    std::function<void(int milliseconds)> onWait; // called before each wait passes
    std::function<bool()> stop;                   // the stop request; none when missing

    qint64 now() override { return qint64(vt520sim::Bus::instance().nowMs()); }
    void sleep(int milliseconds) override
    {
        if (onWait)
            onWait(milliseconds);
        vt520sim::Bus::instance().sleepMs(milliseconds);
    }
    bool stopRequested() override { return stop && stop(); }
};
