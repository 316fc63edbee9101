#pragma once

#include <QString>

// SIGINT, SIGTERM and SIGHUP for vt520ctl: the handler only writes the
// signal's number into a pipe; the commands ask at their safe points
// whether one came, finish that step, leave the unit in a known state and
// exit with 128 + the signal's number. SIGPIPE is ignored, so that a closed
// standard output never kills a running device operation (the write fails
// and the command ends with exit status 2 instead).
namespace Interruption {

// Installs the handlers; false (with nothing installed) if the pipe cannot
// be made.
bool install();

// Whether a signal has come; safe from any thread.
bool requested();

// The first signal's exit status (130 for SIGINT, 143 for SIGTERM, 129 for
// SIGHUP); 0 when none came.
int exitStatus();

// "SIGINT", "SIGTERM" or "SIGHUP".
QString signalName();

} // namespace Interruption
