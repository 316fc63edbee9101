#pragma once

#include "sim/Vt520Sim.h"

#include <QMetaType>
#include <QString>

#include <libusb.h>

// One kind of trouble that can meet a single transfer: the transfer fails
// with a libusb error (the device stays on the bus, its state unchanged),
// the device acts on it but its answer is lost (the host sees a timeout),
// or the device is pulled out during the transfer and plugged in again,
// with its state kept (a cable glitch) or as at power-on.
struct FaultKind {
    enum Type { FailedTransfer, Unplug, AnswerLost, PowerOnUnplug };

    Type type = FailedTransfer;
    int libusbError = 0;   // FailedTransfer
    int replugAfterMs = 0; // Unplug, PowerOnUnplug: time off the bus, on the bus clock

    static FaultKind failed(int libusbError) { return {FailedTransfer, libusbError, 0}; }
    static FaultKind unplug(int replugAfterMs) { return {Unplug, 0, replugAfterMs}; }
    static FaultKind answerLost() { return {AnswerLost, 0, 0}; }
    static FaultKind powerOnUnplug(int replugAfterMs) { return {PowerOnUnplug, 0, replugAfterMs}; }

    bool unplugs() const { return type == Unplug || type == PowerOnUnplug; }
    // The transfer's request has been acted on although it failed.
    bool acted() const { return type == AnswerLost; }

    // Orders the fault for the transfer at `position` (1 = the next one).
    void arm(vt520sim::Bus &bus, int position) const
    {
        switch (type) {
        case Unplug:
            bus.unplugAtTransfer(position, replugAfterMs);
            break;
        case PowerOnUnplug:
            bus.unplugAtTransfer(position, replugAfterMs, vt520sim::Return::PowerOn);
            break;
        case AnswerLost:
            bus.failTransfer(position, vt520sim::AnswerLost);
            break;
        case FailedTransfer:
            bus.failTransfer(position, libusbError);
            break;
        }
    }

    // The result that the faulted transfer shows in the emulator's log.
    int loggedResult() const
    {
        if (unplugs())
            return int(LIBUSB_ERROR_NO_DEVICE);
        return type == AnswerLost ? int(LIBUSB_ERROR_TIMEOUT) : libusbError;
    }

    QString name() const
    {
        switch (type) {
        case Unplug:
            return QStringLiteral("unplug, replug after %1 ms").arg(replugAfterMs);
        case PowerOnUnplug:
            return QStringLiteral("unplug, back as at power-on after %1 ms").arg(replugAfterMs);
        case AnswerLost:
            return QStringLiteral("acted on, answer lost");
        case FailedTransfer:
            break;
        }
        return QString::fromLatin1(libusb_error_name(libusbError));
    }
};

Q_DECLARE_METATYPE(FaultKind)
