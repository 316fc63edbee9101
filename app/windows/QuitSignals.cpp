#include "app/QuitSignals.h"

#include <QMetaObject>

#include <windows.h>

#include <atomic>

namespace {

// The console's events under the POSIX signal numbers the window knows:
// Ctrl+C is SIGINT, Ctrl+Break SIGTERM, a closed console, a logoff or a
// shutdown SIGHUP.
constexpr int SignalHup = 1;
constexpr int SignalInt = 2;
constexpr int SignalTerm = 15;

// The one object of the process; the handler runs on a thread of its own.
std::atomic<QuitSignals *> receiver{nullptr};

BOOL WINAPI handler(DWORD event)
{
    int signalNumber = SignalHup;
    if (event == CTRL_C_EVENT)
        signalNumber = SignalInt;
    else if (event == CTRL_BREAK_EVENT)
        signalNumber = SignalTerm;
    QuitSignals *target = receiver.load();
    if (!target)
        return FALSE;
    // Emitted on the GUI thread when its loop takes the call.
    QMetaObject::invokeMethod(
        target, [target, signalNumber] { emit target->quitRequested(signalNumber); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    QuitSignals *none = nullptr;
    if (!receiver.compare_exchange_strong(none, this))
        return;
    if (!::SetConsoleCtrlHandler(handler, TRUE)) {
        receiver.store(nullptr);
        return;
    }
    installed = true;
}

QuitSignals::~QuitSignals()
{
    if (!installed)
        return;
    ::SetConsoleCtrlHandler(handler, FALSE);
    receiver.store(nullptr);
}
