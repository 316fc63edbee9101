#include "ctl/ChosenDevice.h"

#include "ctl/DeviceChoice.h"
#include "ctl/ExitStatus.h"

ChosenDevice::ChosenDevice(const CtlOptions &options, Console &console)
{
    exitStatus = DeviceChoice::choose(options, console, &device);
    if (exitStatus != ExitDone)
        return;
    link.emplace();
    link->pinToPort(device.portPath);
}
