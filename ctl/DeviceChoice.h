#pragma once

#include "usb/Vt520Enumeration.h"

#include <QJsonObject>
#include <QList>
#include <QString>

class Console;
struct CtlOptions;

// Which attached Vt520s a device command works on: every one with --all,
// each one --device names, or else the only one there is. Never guesses
// among several.
namespace DeviceChoice {

// ExitDone with *chosen filled, in the order named, each unit once (one
// named twice, by its port path and by its serial say, is worked on
// once), or the exit status after the reason (and, where it helps, the
// list of attached devices) went to standard error. A command of one
// device refuses --device given more than once.
// A unit held by another process (or one whose lock could not be taken)
// makes it ExitInUse, with each such unit in *busy when given. A unit
// chosen that did not answer its identity request makes it
// ExitDeviceFailed, each such unit named, before any unit is locked.
struct Busy {
    QString portPath;
    QString reason; // "unit PORT is in use by process PID (vt520ctl upgrade)"
};
int choose(const CtlOptions &options, Console &console, QList<Vt520Enumeration::Entry> *chosen,
           QList<Busy> *busy = nullptr);

// The attached units, after up to --wait seconds for those the command
// names (any unit, without --device) to appear, saying so once.
QList<Vt520Enumeration::Entry> attached(const CtlOptions &options, Console &console);

// How many Vt520s the last look at the bus found (after any wait); -1
// before the first look. Documents give it beside --expect.
int unitsFound();

// The units the last choice refused because their identity request
// failed twice (Vt520Enumeration::Entry::unidentified); documents give them
// as failed units.
QList<Vt520Enumeration::Entry> unidentifiedChosen();

// Why a unit was not identified: "identity request failed twice (timeout)".
QString unidentifiedReason(const Vt520Enumeration::Entry &device);

// "no Vt520 found" on standard error; returns ExitNoDevice.
int refuseNoDevice(Console &console);

// One line of `list` for the device.
QString describe(const Vt520Enumeration::Entry &device);
// One element of `list --json`.
QJsonObject toJson(const Vt520Enumeration::Entry &device);

} // namespace DeviceChoice
