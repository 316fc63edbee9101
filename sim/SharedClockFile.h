#pragma once

#include <QString>

#include <cstdint>

struct SharedClockLayout;

namespace vt520sim {

// The emulator's side of a virtual clock shared between processes (layout in
// usb/SharedClockLayout.h): the bus clock of every process that maps the
// same file, and the product's own waits there, advance one time.
class SharedClockFile
{
public:
    // Maps the file, creating it at startMicroseconds when it is missing or
    // empty; false with a warning when it cannot be used.
    bool map(const QString &fileName, int64_t startMicroseconds);
    ~SharedClockFile();

    bool isMapped() const { return mapped != nullptr; }
    int64_t microseconds() const;
    void advance(int64_t microseconds);

    // For a process that shows the units to others at its own pace: names
    // it as the clock's follower, whose look at the time every sleeper then
    // waits for; markFollowed() says its view is up to date for that time.
    // stopFollowing() lets sleepers go on without it.
    void follow();
    void markFollowed(int64_t microseconds);
    void stopFollowing();

private:
    void unmap();

    SharedClockLayout *mapped = nullptr;
};

} // namespace vt520sim
