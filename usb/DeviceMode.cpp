#include "usb/DeviceMode.h"

DeviceMode deviceModeOf(const QByteArray &serialString)
{
    if (serialString.size() == 9)
        return DeviceMode::Application;
    if (serialString.size() == 10 && serialString.at(9) == 'b')
        return DeviceMode::Bootloader;
    return DeviceMode::Unknown;
}
