#pragma once

#include <cstdint>

// The file through which processes share one virtual clock (the device
// emulator's, when its runs name one): 32 bytes, read and advanced only with
// atomic operations on a shared mapping of the file.
//
// A process that shows the emulated units to others at its own pace (the
// usbfs emulator turns units leaving and coming back into device nodes and
// uevents) follows the clock: it names itself in followerPid and, each time
// its view is up to date, stores the time it looked at in followedMicroseconds.
// A sleep then returns only once the follower has seen the time it slept to,
// so that a wait for a unit to come back finds its node there.
struct SharedClockLayout {
    static constexpr char Magic[8] = {'V', 'T', '5', '2', '0', 'C', 'K', '2'};
    char magic[8];
    int64_t microseconds;
    int64_t followedMicroseconds;
    int32_t followerPid; // 0: nobody follows
    int32_t reserved;
};
static_assert(sizeof(SharedClockLayout) == 32, "the file is 32 bytes on every build");
