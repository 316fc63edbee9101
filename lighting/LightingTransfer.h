#pragma once

#include "lighting/SceneTables.h"

#include <QtGlobal>

#include <functional>

class USBVT350;

// Moves the programs or the scenes table as a whole between memory and the
// device's external flash. Each call takes the device's host-access bit
// (StatusAcquire), transfers the table scrambled as one block of its own (key
// word 0 at the table's first byte), and gives the bit back (StatusRelease)
// whatever the transfer's outcome. The table in memory always stays plain.
class LightingTransfer
{
public:
    enum class Status {
        Done,
        AcquireFailed,  // the device did not grant access (e.g. none on the bus); not released
        TransferFailed, // the external-flash read or write failed; released
    };

    struct Location {
        quint32 address;
        int length;
    };
    static constexpr Location Programs{0x14000, ProgramsTableSize};
    static constexpr Location Scenes{0x15E00, ScenesTableSize};

    explicit LightingTransfer(USBVT350 &usb)
        : usb(usb)
    {
    }

    // Reads and unscrambles the table; `table` (where.length bytes) is
    // overwritten only when the whole read succeeded.
    Status read(const Location &where, void *table);

    // Scrambles a copy of `table` and writes it. `onAcquired` runs once the
    // device is acquired and before the table is copied, so the caller can
    // bring the table up to date only when the write will really be tried.
    Status write(const Location &where, const void *table, const std::function<void()> &onAcquired = {});

    // The outcome of writeVerified, by what the unit holds afterwards.
    enum class Verified {
        Done,           // written, read back equal and released
        AcquireFailed,  // nothing written: the unit holds its old table
        WriteFailed,    // the write failed part-way: old, new or a mix
        ReadBackFailed, // written, but not read back: old, new or a mix
        Mismatch,       // read back differently: a mix
        ReleaseFailed,  // the new table is in place, but the host-access bit is still set
    };

    // write, then the table read back within the same access and compared,
    // then the access given back, the release checked too.
    Verified writeVerified(const Location &where, const void *table);

private:
    USBVT350 &usb;
};
