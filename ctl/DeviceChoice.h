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

// One line of `list` for the device.
QString describe(const Vt520Enumeration::Entry &device);
// One element of `list --json`.
QJsonObject toJson(const Vt520Enumeration::Entry &device);

} // namespace DeviceChoice
