#pragma once

// The exit statuses of vt520ctl, for scripts to tell the outcomes apart.
enum ExitStatus {
    ExitDone = 0,
    ExitUsage = 1,        // unknown command or option, a bad number, a missing argument
    ExitFileRefused = 2,  // an input file refused, or an output file or standard output not written
    ExitNoDevice = 3,     // no Vt520, several and none selected, no match, or access denied
    ExitDeviceFailed = 4, // a device operation failed
    ExitInUse = 5,        // a unit is in use by another process (or its lock could not be taken)
};
