#pragma once

#include "sim/Vt520Sim.h"

#include <QMetaType>
#include <QString>

#include <libusb.h>

// One kind of trouble that can meet a single transfer: the transfer fails
// with a libusb error (the device stays on the bus, its state unchanged),
// or the device is pulled out during the transfer and plugged in again.
struct FaultKind {
    enum Type { FailedTransfer, Unplug };

    Type type = FailedTransfer;
    int libusbError = 0;   // FailedTransfer
    int replugAfterMs = 0; // Unplug: time off the bus, on the bus clock

    static FaultKind failed(int libusbError) { return {FailedTransfer, libusbError, 0}; }
    static FaultKind unplug(int replugAfterMs) { return {Unplug, 0, replugAfterMs}; }

    // Orders the fault for the transfer at `position` (1 = the next one).
    void arm(vt520sim::Bus &bus, int position) const
    {
        if (type == Unplug)
            bus.unplugAtTransfer(position, replugAfterMs);
        else
            bus.failTransfer(position, libusbError);
    }

    // The result that the faulted transfer shows in the emulator's log.
    int loggedResult() const { return type == Unplug ? int(LIBUSB_ERROR_NO_DEVICE) : libusbError; }

    QString name() const
    {
        if (type == Unplug)
            return QStringLiteral("unplug, replug after %1 ms").arg(replugAfterMs);
        return QString::fromLatin1(libusb_error_name(libusbError));
    }
};

Q_DECLARE_METATYPE(FaultKind)
