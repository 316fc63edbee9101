// verify: whether units hold exactly the firmware of an upgrade file, read
// back as a firmware change verifies its writes, with nothing written.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "ctl/ExitStatus.h"
#include "ctl/InputFile.h"
#include "ctl/Interruption.h"
#include "firmware/FirmwareChange.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "usb/DeviceMode.h"
#include "usb/USBVT350.h"
#include "usb/Vt520Enumeration.h"

#include <utility>

namespace Commands {

namespace {

QString hex32(quint32 value)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

// One unit: ExitDone when it holds the file's firmware.
int verifyUnit(const Vt520Enumeration::Entry &device, const QString &fileName, const UpgradeFile::Contents &contents,
               Console &console)
{
    using Result = FirmwareChange::Comparison::Result;
    const QString port = device.portPath;
    USBVT350 usb;
    usb.pinToPort(port);
    FirmwareChange::Callbacks callbacks;
    callbacks.stopRequested = Interruption::requested;
    FirmwareChange change(usb, callbacks);
    const FirmwareChange::Comparison comparison = change.compare(contents);
    const QString serial = QString::fromLatin1(change.identifiedSerial());
    const QString mode =
        comparison.mode == DeviceMode::Bootloader ? QStringLiteral("bootloader") : QStringLiteral("application");
    switch (comparison.result) {
    case Result::Identical:
        console.result(
            QStringLiteral("%1: the Vt520 %2 (%3) holds the firmware of %4").arg(port, serial, mode, fileName));
        return ExitDone;
    case Result::PageDiffers: {
        const quint32 page = (comparison.address - UpgradeImage::ApplicationAddress) / USBVT350::PageSize;
        console.result(QStringLiteral("%1: differs from %2 at application page %3 of %4 (%5)")
                           .arg(port, fileName)
                           .arg(page + 1)
                           .arg(UpgradeImage::ApplicationSize / USBVT350::PageSize)
                           .arg(hex32(comparison.address)));
        return ExitDeviceFailed;
    }
    case Result::ChunkDiffers: {
        const quint32 chunk = (comparison.address - FirmwareChange::ExternalFlashAddress) / USBVT350::ExtFlashReadChunk;
        console.result(QStringLiteral("%1: differs from %2 at external flash chunk %3 of %4 (%5)")
                           .arg(port, fileName)
                           .arg(chunk + 1)
                           .arg(UpgradeImage::ExternalFlashSize / USBVT350::ExtFlashReadChunk)
                           .arg(hex32(comparison.address)));
        return ExitDeviceFailed;
    }
    case Result::ReadFailed:
        console.error(QStringLiteral("unit %1: reading it back failed; it is unchanged").arg(port));
        return ExitDeviceFailed;
    case Result::NoDevice:
        console.error(QStringLiteral("unit %1 did not answer; it is unchanged").arg(port));
        return ExitDeviceFailed;
    case Result::NotIdentified:
        console.error(QStringLiteral("unit %1: its serial \"%2\" fits neither mode; nothing read").arg(port, serial));
        return ExitDeviceFailed;
    case Result::Stopped:
        break;
    }
    console.error(QStringLiteral("%1: unit %2 was not verified to the end; it is unchanged")
                      .arg(Interruption::signalName(), port));
    return Interruption::exitStatus();
}

} // namespace

int verify(const CtlOptions &options, Console &console)
{
    const QString fileName = options.arguments[0];
    // The file is read and checked whole before any unit is touched.
    UpgradeFile::Contents contents;
    if (const int refused = InputFile::readUpgrade(
            fileName, console, [](const UpgradeFile::Contents &) {}, &contents))
        return refused;
    QList<Vt520Enumeration::Entry> chosen;
    if (const int refused = DeviceChoice::choose(options, console, &chosen))
        return refused;
    int status = ExitDone;
    QStringList done;
    for (const Vt520Enumeration::Entry &device : std::as_const(chosen)) {
        if (done.contains(device.portPath)) // named twice
            continue;
        done.append(device.portPath);
        if (Interruption::requested()) {
            console.error(QStringLiteral("%1: unit %2 was not verified; it is unchanged")
                              .arg(Interruption::signalName(), device.portPath));
            continue;
        }
        const int unitStatus = verifyUnit(device, fileName, contents, console);
        if (unitStatus != ExitDone)
            status = ExitDeviceFailed;
    }
    return Interruption::requested() ? Interruption::exitStatus() : status;
}

} // namespace Commands
