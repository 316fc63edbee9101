#pragma once

#include <cstdint>

// The file through which processes share one virtual clock (the device
// emulator's, when its runs name one): 16 bytes, this magic and then the
// time in microseconds as a native 64-bit integer, read and advanced only
// with atomic operations on a shared mapping of the file.
struct SharedClockLayout {
    static constexpr char Magic[8] = {'V', 'T', '5', '2', '0', 'C', 'L', 'K'};
    char magic[8];
    int64_t microseconds;
};
static_assert(sizeof(SharedClockLayout) == 16, "the file is 16 bytes on every build");
