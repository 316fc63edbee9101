#include "app/QuitSignals.h"

#include "usb/windows/ConsoleEvent.h"

#include <QMetaObject>

#include <windows.h>

#include <atomic>

namespace {

// The one object of the process; the handler runs on a thread of its own.
std::atomic<QuitSignals *> receiver{nullptr};

BOOL WINAPI handler(DWORD event)
{
    const int signalNumber = ConsoleEvent::signalNumber(event);
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
