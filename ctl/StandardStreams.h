#pragma once

// Standard output and standard error carry exactly the bytes vt520ctl
// writes: lines end in "\n" alone and --output - passes the device's bytes
// through unchanged, on every system.
namespace StandardStreams {

// Called once, before anything is written.
void passBytesUnchanged();

} // namespace StandardStreams
