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

private:
    void unmap();

    SharedClockLayout *mapped = nullptr;
};

} // namespace vt520sim
