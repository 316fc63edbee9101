#include "usb/SharedVirtualClock.h"

#include "usb/SharedClockLayout.h"

#include <QtDebug>

// On Windows the emulator runs inside the program's own process (as its
// libusb-1.0.dll), so there is no other process to share a clock with: a
// clock file is refused and the program keeps real time.
SharedVirtualClock *SharedVirtualClock::fromEnvironment()
{
    const QString fileName = qEnvironmentVariable(EnvironmentVariable);
    if (fileName.isEmpty())
        return nullptr;
    QString reason;
    open(fileName, &reason);
    qWarning("%s=%s: %s; waits take real time", EnvironmentVariable, qPrintable(fileName), qPrintable(reason));
    return nullptr;
}

std::unique_ptr<SharedVirtualClock> SharedVirtualClock::open(const QString &, QString *reason)
{
    *reason = QStringLiteral("a shared clock file is not supported on this system");
    return nullptr;
}

SharedVirtualClock::SharedVirtualClock(SharedClockLayout *mapped)
    : mapped(mapped)
{
}

SharedVirtualClock::~SharedVirtualClock() = default;

qint64 SharedVirtualClock::now()
{
    return mapped->microseconds / 1000;
}

void SharedVirtualClock::sleep(int milliseconds)
{
    if (milliseconds > 0)
        mapped->microseconds += int64_t(milliseconds) * 1000;
}
