#pragma once

// Faults of a test row on the emulated unit, and the emulator's clock for
// the transfers' patience.
#include "EmulatorClock.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QString>
#include <QStringList>

#include <libusb.h>

// Items separated by ';', each of them one of
//   "stall R"      every vendor request R is refused (a stall)
//   "io R"         every vendor request R fails with an I/O error
//   "timeout R"    every vendor request R goes unanswered (the unit hangs)
//   "unplug R N MS" the Nth request R from now pulls the unit out, back on
//                  the bus MS later
// False when the text is none of these.
inline bool applyFaults(const QString &spec)
{
    vt520sim::Bus &bus = vt520sim::Bus::instance();
    for (const QString &item : spec.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList words = item.simplified().split(QLatin1Char(' '));
        const uint8_t request = uint8_t(words.value(1).toInt());
        if (words.size() == 2 && words[0] == QLatin1String("stall"))
            bus.failRequest(request, LIBUSB_ERROR_PIPE);
        else if (words.size() == 2 && words[0] == QLatin1String("io"))
            bus.failRequest(request, LIBUSB_ERROR_IO);
        else if (words.size() == 2 && words[0] == QLatin1String("timeout"))
            bus.failRequest(request, LIBUSB_ERROR_TIMEOUT);
        else if (words.size() == 4 && words[0] == QLatin1String("unplug"))
            bus.unplugAtRequest(request, words[2].toInt(), words[3].toInt());
        else
            return false;
    }
    return true;
}

// The emulator's clock for the transfers' waits and patience: on the
// virtual clock a wait costs no real time.
inline EmulatorClock &emulatorClock()
{
    static EmulatorClock clock;
    return clock;
}
