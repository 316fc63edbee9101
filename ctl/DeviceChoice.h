#pragma once

#include "usb/Vt520Enumeration.h"

#include <QJsonObject>
#include <QString>

class Console;
struct CtlOptions;

// Which attached Vt520 a device command works on: the one --device names,
// or the only one there is. Never guesses among several.
namespace DeviceChoice {

// ExitDone with *chosen filled, or the exit status after the reason (and,
// where it helps, the list of attached devices) went to standard error.
int choose(const CtlOptions &options, Console &console, Vt520Enumeration::Entry *chosen);

// The refusals that choose() and the choice of several units share; each
// goes to standard error and returns ExitNoDevice.
// "no attached Vt520 matches "SELECTOR"; attached:" and the list.
int refuseNotFound(const QString &selector, const QList<Vt520Enumeration::Entry> &devices, Console &console);
// "the Vt520 at PORT may not be opened by this user." and the udev hint.
int refuseAccessDenied(const Vt520Enumeration::Entry &device, Console &console);

// One line of `list` for the device.
QString describe(const Vt520Enumeration::Entry &device);
// One element of `list --json`.
QJsonObject toJson(const Vt520Enumeration::Entry &device);

} // namespace DeviceChoice
