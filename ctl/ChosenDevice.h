#pragma once

#include "usb/USBVT350.h"
#include "usb/Vt520Enumeration.h"

#include <optional>

class Console;
struct CtlOptions;

// The one device a command works on, chosen as DeviceChoice::choose does and
// reached through a device object pinned to its port, so that the choice
// holds across a reset.
class ChosenDevice
{
public:
    ChosenDevice(const CtlOptions &options, Console &console);

    // ExitDone, or the exit status after the reason went to standard error.
    int status() const { return exitStatus; }
    // Only when status() is ExitDone.
    USBVT350 &usb() { return *link; }
    const Vt520Enumeration::Entry &entry() const { return device; }

private:
    Vt520Enumeration::Entry device;
    int exitStatus = 0;
    std::optional<USBVT350> link;
};
