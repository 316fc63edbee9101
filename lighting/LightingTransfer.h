#pragma once

#include "lighting/SceneTables.h"
#include "usb/Clock.h"
#include "usb/USBVT350.h"

#include <QtGlobal>

#include <functional>

// Moves the programs or the scenes table as a whole between memory and the
// device's external flash. Each call takes the device's host-access bit
// (StatusAcquire), transfers the table scrambled as one block of its own (key
// word 0 at the table's first byte), and gives the bit back (StatusRelease)
// whatever the transfer's outcome. The table in memory always stays plain.
//
// A unit that leaves the bus for a moment (a cable glitch, a re-plug) is
// waited for as a firmware change waits for it in its external flash
// transfers (on a Clock, see USBVT350), and one that stops answering is given up
// after USBVT350::SilenceLimitMs. A release that fails is tried again once
// the unit is back; hostAccessMayBeSet() tells when it never went through.
class LightingTransfer
{
public:
    enum class Status {
        Done,
        AcquireFailed,  // the device did not grant access (e.g. none on the bus); released if it was asked
        TransferFailed, // the external-flash read or write failed; released
    };

    struct Location {
        quint32 address;
        int length;
    };
    static constexpr Location Programs{0x14000, ProgramsTableSize};
    static constexpr Location Scenes{0x15E00, ScenesTableSize};

    // The clock is the one the transfers wait on and measure their
    // patience with.
    explicit LightingTransfer(USBVT350 &usb, Clock &clock = Clock::standard());

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

    // After the last call, whatever its outcome: true when the unit may
    // still hold its host-access bit, because giving it back failed even
    // after waiting for the unit (or a failed acquire had asked for it and
    // could not give it back). A later call that succeeds clears the bit.
    bool hostAccessMayBeSet() const { return accessMayBeSet; }
    // After the last call: why it failed (the acquire's failure after
    // AcquireFailed, the transfer's after TransferFailed and the like);
    // Kind::None when it did not.
    Failure failure() const { return lastFailure; }

private:
    // StatusAcquire, asked again once a unit that answered and then left
    // the bus is back; a failed acquire that may have set the bit gives it
    // back.
    Failure acquire();
    // StatusRelease, tried again once the unit is back when it failed;
    // lastAnswer is when the unit last answered, on the clock.
    bool giveBack(qint64 lastAnswer);
    // When the unit last answered, after a transfer that ended so.
    qint64 lastAnswerAfter(const Failure &failure) const;

    USBVT350 &usb;
    Clock &clock;
    bool accessMayBeSet = false;
    Failure lastFailure;
};
