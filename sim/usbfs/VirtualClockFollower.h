#pragma once

#include "sim/SharedClockFile.h"

#include <QByteArray>

#include <cstdint>

namespace vt520usbfs {

// Keeps the device nodes in step with a shared virtual clock: the programs
// under the testbed sleep on that clock without losing real time, so a unit
// that comes back after a reset must have its node in place by the time
// their sleep returns. This process is named the clock's follower; a sleeper
// waits until lookedAt() has been called with a time at or past its wake-up.
class VirtualClockFollower
{
public:
    // Follows the clock VT520_SIM_CLOCK names. With none named and
    // makeOwn, makes a clock file of its own (removed with this object) and
    // names it in the environment, for the emulator's bus and the command.
    explicit VirtualClockFollower(bool makeOwn);
    ~VirtualClockFollower();
    VirtualClockFollower(const VirtualClockFollower &) = delete;
    VirtualClockFollower &operator=(const VirtualClockFollower &) = delete;

    bool isFollowing() const { return following; }
    // The clock's time; before a look at the units.
    int64_t microseconds() const { return clock.microseconds(); }
    // The units as shown are up to date for this time.
    void lookedAt(int64_t microseconds) { clock.markFollowed(microseconds); }

private:
    vt520sim::SharedClockFile clock;
    QByteArray ownFile;
    bool following = false;
};

} // namespace vt520usbfs
