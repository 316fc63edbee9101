#include "ctl/ChosenDevice.h"

#include "ctl/DeviceChoice.h"
#include "ctl/ExitStatus.h"

ChosenDevice::ChosenDevice(const CtlOptions &options, Console &console)
{
    QList<Vt520Enumeration::Entry> chosen;
    exitStatus = DeviceChoice::choose(options, console, &chosen);
    if (exitStatus != ExitDone)
        return;
    device = chosen.first();
    link.emplace();
    link->pinToPort(device.portPath);
}
