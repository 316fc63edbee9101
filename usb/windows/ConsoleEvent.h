#pragma once

#include <windows.h>

// The console's control events under the POSIX signal numbers that the
// programs' stop handling and exit statuses are made of, so that scripts
// and the window see the same on both systems: Ctrl+C is SIGINT,
// Ctrl+Break SIGTERM, a closed console window, a logoff or a shutdown
// SIGHUP.
namespace ConsoleEvent {

constexpr int SignalHup = 1;
constexpr int SignalInt = 2;
constexpr int SignalTerm = 15;

inline int signalNumber(DWORD event)
{
    if (event == CTRL_C_EVENT)
        return SignalInt;
    if (event == CTRL_BREAK_EVENT)
        return SignalTerm;
    return SignalHup;
}

} // namespace ConsoleEvent
