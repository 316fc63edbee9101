#pragma once

#include "firmware/FirmwareChange.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QStringList>

// One firmware change run directly on the calling thread, its waits on the
// emulator's virtual clock, keeping the lines that it says.
inline QStringList runChange(USBVT350 &usb, const QString &fileName)
{
    QStringList lines;
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&lines](const QString &line) { lines.append(line); };
    callbacks.sleep = [](int milliseconds) { vt520sim::sleepMs(static_cast<unsigned long>(milliseconds)); };
    FirmwareChange(usb, callbacks).run(fileName);
    return lines;
}
