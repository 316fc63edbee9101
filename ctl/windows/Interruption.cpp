#include "ctl/Interruption.h"

#include <windows.h>

#include <atomic>

namespace Interruption {

namespace {

// The console's events under the POSIX signal numbers the exit statuses
// are made of, so that scripts see the same statuses on both systems:
// Ctrl+C is SIGINT, Ctrl+Break SIGTERM, a closed console window, a logoff
// or a shutdown SIGHUP.
constexpr int SignalHup = 1;
constexpr int SignalInt = 2;
constexpr int SignalTerm = 15;

std::atomic<int> firstSignal{0};

BOOL WINAPI handler(DWORD event)
{
    int signalNumber = SignalHup;
    if (event == CTRL_C_EVENT)
        signalNumber = SignalInt;
    else if (event == CTRL_BREAK_EVENT)
        signalNumber = SignalTerm;
    int none = 0;
    firstSignal.compare_exchange_strong(none, signalNumber);
    // Handled: the commands end at their next safe point.
    return TRUE;
}

} // namespace

bool install()
{
    return ::SetConsoleCtrlHandler(handler, TRUE) != 0;
}

bool requested()
{
    return exitStatus() != 0;
}

int exitStatus()
{
    const int signalNumber = firstSignal.load();
    return signalNumber == 0 ? 0 : 128 + signalNumber;
}

QString signalName()
{
    switch (exitStatus() - 128) {
    case SignalInt:
        return QStringLiteral("SIGINT");
    case SignalTerm:
        return QStringLiteral("SIGTERM");
    case SignalHup:
        return QStringLiteral("SIGHUP");
    default:
        return QString();
    }
}

} // namespace Interruption
