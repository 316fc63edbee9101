// verify: whether units hold exactly the firmware of an upgrade file, read
// back as a firmware change verifies its writes, with nothing written.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "ctl/ExitStatus.h"
#include "ctl/InputFile.h"
#include "ctl/Interruption.h"
#include "ctl/JsonReport.h"
#include "ctl/UnitLog.h"
#include "firmware/FirmwareChange.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "usb/DeviceMode.h"
#include "usb/InterruptibleClock.h"
#include "usb/USBVT350.h"
#include "usb/Vt520Enumeration.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

#include <utility>

namespace Commands {

namespace {

QString hex32(quint32 value)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

// One unit's entry in the --json document: the unit as found, then its
// serial and mode as it answered (null where it did not tell them).
QJsonObject unitEntry(const Vt520Enumeration::Entry &device, const QString &serial, DeviceMode mode,
                      const QString &result)
{
    QJsonObject entry = JsonReport::unit(device);
    if (!serial.isEmpty())
        entry.insert("serial", serial);
    if (mode != DeviceMode::Unknown)
        entry.insert("mode", Vt520Enumeration::modeName(mode));
    entry.insert("result", result);
    entry.insert("difference", QJsonValue());
    return entry;
}

// One unit: ExitDone when it holds the file's firmware. Its line goes to
// the console, or with --json its entry into *units.
int verifyUnit(const Vt520Enumeration::Entry &device, const QString &fileName, const UpgradeFile::Contents &contents,
               Console &console, QJsonArray *units)
{
    using Result = FirmwareChange::Comparison::Result;
    const QString port = device.portPath;
    USBVT350 usb;
    usb.pinToPort(port);
    InterruptibleClock clock(Clock::standard(), Interruption::requested);
    FirmwareChange change(usb, FirmwareChange::Callbacks(), clock);
    const qint64 start = clock.now();
    const FirmwareChange::Comparison comparison = change.compare(contents);
    const double seconds = double(clock.now() - start) / 1000.0;
    const QString serial = QString::fromLatin1(change.identifiedSerial());
    const QString mode =
        comparison.mode == DeviceMode::Bootloader ? QStringLiteral("bootloader") : QStringLiteral("application");
    const auto said = [&](const QString &result, const QString &line, const QString &difference = QString()) {
        QJsonObject entry = unitEntry(device, serial, comparison.mode, result);
        if (!difference.isEmpty())
            entry.insert("difference", difference);
        entry.insert("reason", line);
        entry.insert("seconds", seconds);
        entry.insert("attempts", 1);
        UnitLog::instance().record(port, QStringLiteral("verdict"),
                                   {{"result", result}, {"reason", line}, {"seconds", seconds}});
        if (units)
            units->append(entry);
        else if (result == QLatin1String("identical") || result == QLatin1String("differs"))
            console.result(line);
    };
    const auto differs = [&](const QString &where) {
        said(QStringLiteral("differs"), QStringLiteral("%1: differs from %2 at %3").arg(port, fileName, where), where);
        return ExitDeviceFailed;
    };
    const auto failed = [&](const QString &reason) {
        console.error(reason);
        said(QStringLiteral("failed"), reason);
        return ExitDeviceFailed;
    };
    switch (comparison.result) {
    case Result::Identical:
        said(QStringLiteral("identical"),
             QStringLiteral("%1: the Vt520 %2 (%3) holds the firmware of %4").arg(port, serial, mode, fileName));
        return ExitDone;
    case Result::PageDiffers: {
        const quint32 page = (comparison.address - UpgradeImage::ApplicationAddress) / USBVT350::PageSize;
        return differs(QStringLiteral("application page %1 of %2 (%3)")
                           .arg(page + 1)
                           .arg(UpgradeImage::ApplicationSize / USBVT350::PageSize)
                           .arg(hex32(comparison.address)));
    }
    case Result::ChunkDiffers: {
        const quint32 chunk = (comparison.address - FirmwareChange::ExternalFlashAddress) / USBVT350::ExtFlashReadChunk;
        return differs(QStringLiteral("external flash chunk %1 of %2 (%3)")
                           .arg(chunk + 1)
                           .arg(UpgradeImage::ExternalFlashSize / USBVT350::ExtFlashReadChunk)
                           .arg(hex32(comparison.address)));
    }
    case Result::ReadFailed:
        return failed(QStringLiteral("unit %1: reading it back failed; it is unchanged").arg(port));
    case Result::NoDevice:
        return failed(QStringLiteral("unit %1 did not answer; it is unchanged").arg(port));
    case Result::NotIdentified:
        return failed(QStringLiteral("unit %1: its serial \"%2\" fits neither mode; nothing read").arg(port, serial));
    case Result::Stopped:
        break;
    }
    const QString reason = QStringLiteral("%1: unit %2 was not verified to the end; it is unchanged")
                               .arg(Interruption::signalName(), port);
    console.error(reason);
    said(QStringLiteral("interrupted"), reason);
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
    QJsonArray units;
    for (const Vt520Enumeration::Entry &device : std::as_const(chosen)) {
        if (Interruption::requested()) {
            const QString reason = QStringLiteral("%1: unit %2 was not verified; it is unchanged")
                                       .arg(Interruption::signalName(), device.portPath);
            console.error(reason);
            QJsonObject entry = unitEntry(device, QString(), DeviceMode::Unknown, QStringLiteral("interrupted"));
            entry.insert("reason", reason);
            units.append(entry);
            continue;
        }
        const int unitStatus = verifyUnit(device, fileName, contents, console, options.json ? &units : nullptr);
        if (unitStatus != ExitDone)
            status = ExitDeviceFailed;
    }
    if (Interruption::requested())
        status = Interruption::exitStatus();
    // --json: one document at the end, as upgrade gives it.
    if (options.json) {
        QJsonObject document = JsonReport::header(options);
        document.insert("units", units);
        return JsonReport::give(console, document, status);
    }
    return status;
}

} // namespace Commands
