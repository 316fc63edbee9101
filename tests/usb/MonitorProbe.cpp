// Helper for the device monitor's preload test: a program on the system's
// libusb-1.0, run with the emulator preloaded as scripts/run.sh runs the
// window. Prints the path the monitor took ("poll" or "hotplug"), its status
// text and each unit's port and mode, one line each.
#include "usb/Vt520Monitor.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Vt520Monitor monitor;
    QTextStream out(stdout);
    out << (monitor.method() == Vt520Monitor::Method::Poll ? "poll" : "hotplug") << '\n';
    out << Vt520Monitor::statusText(monitor.units()) << '\n';
    for (const Vt520Monitor::Unit &unit : monitor.units())
        out << unit.portPath << ' ' << (unit.mode == DeviceMode::Unknown ? "unknown" : "known") << '\n';
    return 0;
}
