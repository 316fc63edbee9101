#include "ctl/Interruption.h"

#include "usb/windows/ConsoleEvent.h"

#include <windows.h>

#include <atomic>

namespace Interruption {

namespace {

using ConsoleEvent::SignalHup;
using ConsoleEvent::SignalInt;
using ConsoleEvent::SignalTerm;

std::atomic<int> firstSignal{0};

BOOL WINAPI handler(DWORD event)
{
    int none = 0;
    firstSignal.compare_exchange_strong(none, ConsoleEvent::signalNumber(event));
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
