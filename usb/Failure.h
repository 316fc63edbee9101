#pragma once

#include <QString>

// Why an operation on a Vt520 failed, as one value from the transport up to
// the words for the user: what kind of failure it was, where (the unit's
// port path, the device address and the vendor request, where known) and
// what the system said (a libusb error name or an errno text). A default
// Failure (Kind::None) means nothing failed.
//
// A new device condition is one more Kind here and one more row in
// FailureText; nothing else has to learn about it.
struct Failure {
    enum class Kind {
        None,
        NoDevice,     // no unit with the ids (and at the pinned port) answered
        AccessDenied, // a unit is there, but the system would not let this user open it
        Busy,         // a unit is there, but another program holds its interface
        Timeout,      // a transfer got no answer in time
        Stalled,      // the unit refused a request (endpoint stall)
        Gone,         // the unit left the bus during a transfer
        Refused,      // a transfer failed otherwise, or moved fewer bytes than asked
        NotAnswering, // the unit left the bus or stayed silent past the patience of a long transfer
        Stopped,      // stopped on request between two transfers
    };

    Kind kind = Kind::None;
    QString portPath;    // e.g. "1-1.4"; empty where no unit was reached
    qint64 address = -1; // the device address of the transfer; -1 where none
    int request = -1;    // the vendor request; -1 where none
    QString detail;      // the system's word, e.g. "LIBUSB_ERROR_TIMEOUT"

    Failure() = default;
    explicit Failure(Kind kind, const QString &detail = QString())
        : kind(kind)
        , detail(detail)
    {
    }

    bool failed() const { return kind != Kind::None; }
    // Whether a unit was reached at all: a transfer ran, or was refused by
    // the unit itself rather than by the system.
    bool reachedUnit() const
    {
        return failed() && kind != Kind::NoDevice && kind != Kind::AccessDenied && kind != Kind::Busy;
    }

    // The kind of a negative libusb result, with its name as the detail.
    static Failure fromLibusb(int error);
};

// A value, or the Failure that kept it from being had.
template <typename T>
struct FailureOr {
    T value{};
    Failure failure;

    bool ok() const { return !failure.failed(); }
};
