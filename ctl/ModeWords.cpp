#include "ctl/ModeWords.h"

#include "usb/DeviceMode.h"

QString modeWords(const QByteArray &serialString)
{
    return deviceModeOf(serialString) == DeviceMode::Bootloader ? QStringLiteral("its bootloader")
                                                                : QStringLiteral("application mode");
}
