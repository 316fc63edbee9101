#include "usb/DeviceMode.h"

DeviceMode deviceModeOf(const QByteArray &serialString)
{
    if (serialString.size() == ProductionSerialLength)
        return DeviceMode::Application;
    if (serialString.size() == ProductionSerialLength + 1 && serialString.at(ProductionSerialLength) == BootloaderMark)
        return DeviceMode::Bootloader;
    return DeviceMode::Unknown;
}

QByteArray productionSerialOf(const QByteArray &serialString)
{
    return deviceModeOf(serialString) == DeviceMode::Bootloader ? serialString.left(ProductionSerialLength)
                                                                : serialString;
}

QString productionSerialOf(const QString &serialString)
{
    return QString::fromLatin1(productionSerialOf(serialString.toLatin1()));
}

bool showsBootloaderMark(const QByteArray &serialString)
{
    return serialString.size() > ProductionSerialLength && serialString.at(ProductionSerialLength) == BootloaderMark;
}
