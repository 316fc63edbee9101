#pragma once

#include "usb/DeviceMode.h"
#include "usb/Failure.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Every Vt520 on the buses, each asked for its identity: port path, bus and
// address, mode, serial and the two bootloader version texts. A device that
// could not be opened is listed with the reason (unopened): AccessDenied,
// the user may not open it, with nothing else; Busy, another program holds
// it, with what sysfs tells of it. A device whose device-id request failed
// (Timeout, or another transfer failure but a stall or its leaving the bus)
// is asked once more, and if it fails again listed as not identified, with
// that failure's kind and what sysfs tells of it; one that answers with
// another id, or stalls the request, is no Vt520 and is left out.
// Each device is reached through its own device object pinned to its port
// and closed again before the next one, while its unit lock is held for a
// look: a unit that an operation of this tool holds (in any process) is
// never opened, only listed as busy with its holder. Listing never sets a
// configuration that is already selected.
class Vt520Enumeration
{
public:
    using Mode = DeviceMode;

    struct Entry {
        QString portPath; // e.g. "1-1.4"
        int bus = 0;
        int address = 0;
        // Why the device was not opened, or not identified; None when it
        // was both.
        Failure::Kind unopened = Failure::Kind::None;
        bool accessDenied() const { return unopened == Failure::Kind::AccessDenied; }
        // Opened, but its device-id request failed twice: unopened is the
        // kind of the last failure.
        bool unidentified() const { return unopened != Failure::Kind::None && !accessDenied() && !busy(); }
        // Claimed by another program: only what sysfs tells (serial and mode
        // where it has them) is known.
        bool busy() const { return unopened == Failure::Kind::Busy; }
        // Who holds the unit's lock, when one of this tool's programs does
        // ("process 1234 (vt520ctl upgrade fw.upg)"); empty when a program
        // that takes no lock of ours has claimed it.
        QString holder;
        Mode mode = Mode::Unknown;
        QByteArray serial;            // the production serial, without the bootloader's 'b'
        QByteArray serialString;      // as the device reports it in its mode
        QByteArray bootloaderVersion; // first text of the version block, e.g. "1.00"
        QByteArray bootloaderDate;    // second text, e.g. "Nov 26 2010"
    };

    static QList<Entry> list();

    static QString modeName(Mode mode); // "application", "bootloader", "unknown"
};
