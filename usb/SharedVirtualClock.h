#pragma once

#include "usb/Clock.h"

#include <QString>

#include <cstdint>
#include <memory>

struct SharedClockLayout;

// A virtual clock kept in a file that several processes map at once: a
// sleep only advances the time in the file, atomically, and every process
// that maps it sees the new time. The device emulator serves one to the
// programs it runs under, so that their waits (a reset into the bootloader,
// a unit coming back) pass at once while the emulated units, reading the
// same clock, re-enumerate in step. Where a process follows the clock (see
// SharedClockLayout), a sleep also waits, in real time, until it has looked.
class SharedVirtualClock : public Clock
{
public:
    // The environment variable that names the file. A normal run has none
    // and takes the steady clock; only runs on the device emulator set it.
    static constexpr const char *EnvironmentVariable = "VT520_SIM_CLOCK";

    // The clock the variable names; nullptr when it is not set, and, with a
    // warning, when the file cannot be used as a clock (then the caller
    // stays on real time).
    static SharedVirtualClock *fromEnvironment();
    // Maps an existing clock file; nullptr with the reason when it is
    // missing, not a regular file or not a clock file.
    static std::unique_ptr<SharedVirtualClock> open(const QString &fileName, QString *reason);

    ~SharedVirtualClock() override;
    SharedVirtualClock(const SharedVirtualClock &) = delete;
    SharedVirtualClock &operator=(const SharedVirtualClock &) = delete;

    qint64 now() override;
    void sleep(int milliseconds) override;

private:
    explicit SharedVirtualClock(SharedClockLayout *mapped);
    // Returns once a process that follows the clock has seen this time.
    void waitForFollower(int64_t microseconds);

    SharedClockLayout *mapped;
};
