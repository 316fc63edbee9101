#pragma once

#include "EmulatorClock.h"
#include "firmware/FirmwareChange.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QStringList>

// One firmware change run directly on the calling thread, its waits and its
// clock the emulator's virtual ones, keeping the lines that it says.
struct SweepRun {
    QStringList lines;
    FirmwareChange::Outcome outcome = FirmwareChange::Outcome::NotRun;
};

inline SweepRun runChange(USBVT350 &usb, const QString &fileName)
{
    SweepRun run;
    FirmwareChange::Callbacks callbacks;
    callbacks.say = [&run](const QString &line) { run.lines.append(line); };
    EmulatorClock clock;
    FirmwareChange change(usb, callbacks, clock);
    change.run(fileName);
    run.outcome = change.outcome();
    return run;
}
