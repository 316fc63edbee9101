#pragma once

#include "EmulatorClock.h"

#include <condition_variable>
#include <mutex>

// The emulator's clock with a gate: while the gate is closed, the next wait
// of the code under test stops before it passes until the gate is opened,
// so that a test can act while that code is held at a known point.
// The standard library's mutex and condition variable, not Qt's: the unlock
// inside QWaitCondition::wait happens in the Qt library, which the thread
// sanitizer does not see, and it would then take the test's next lock for
// a second lock of a held mutex.
class GatedClock : public EmulatorClock
{
public:
    void sleep(int milliseconds) override
    {
        {
            std::unique_lock<std::mutex> locker(mutex);
            ++waits;
            opened.wait(locker, [this] { return !closed; });
        }
        EmulatorClock::sleep(milliseconds);
    }
    void close()
    {
        const std::lock_guard<std::mutex> locker(mutex);
        closed = true;
    }
    void open()
    {
        const std::lock_guard<std::mutex> locker(mutex);
        closed = false;
        opened.notify_all();
    }
    // Whether a wait is held at the closed gate (or has been since forget()).
    bool waiting()
    {
        const std::lock_guard<std::mutex> locker(mutex);
        return closed && waits > 0;
    }
    void forget()
    {
        const std::lock_guard<std::mutex> locker(mutex);
        waits = 0;
    }

private:
    std::mutex mutex;
    std::condition_variable opened;
    bool closed = false;
    int waits = 0;
};
