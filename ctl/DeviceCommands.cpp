// The service commands: list, status word, memory and external flash.
#include "ctl/Commands.h"

#include "ctl/ChosenDevice.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "ctl/ExitStatus.h"
#include "ctl/JsonReport.h"
#include "ctl/InputFile.h"
#include "ctl/ProgressLine.h"
#include "firmware/FailureText.h"
#include "usb/Clock.h"
#include "usb/CompleteFileWriter.h"
#include "usb/USBVT350.h"
#include "usb/tools/ExtFlashBinWriter.h"
#include "usb/tools/ServiceRead.h"
#include "usb/tools/ServiceText.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace Commands {

namespace {

QString jsonText(const QJsonDocument &document)
{
    return QString::fromUtf8(document.toJson(QJsonDocument::Indented)).trimmed();
}

// ADDRESS, the first argument, as the window's dialogs take it
// (hexadecimal, "0x" optional).
bool parseAddress(const CtlOptions &options, Console &console, quint32 *address)
{
    bool ok = false;
    *address = ServiceText::parseHex(options.arguments[0], &ok);
    if (!ok)
        console.error(QStringLiteral("ADDRESS must be hexadecimal, not \"%1\"").arg(options.arguments[0]));
    return ok;
}

// ADDRESS, then LENGTH in decimal within the window's limits.
bool parseRange(const CtlOptions &options, Console &console, quint32 *address, int *length)
{
    if (!parseAddress(options, console, address))
        return false;
    bool ok = false;
    *length = options.arguments[1].toInt(&ok, 10);
    if (!ok || *length < 1 || *length > ServiceRead::MaxLength) {
        console.error(QStringLiteral("LENGTH must be a decimal number from 1 to %1, not \"%2\"")
                          .arg(ServiceRead::MaxLength)
                          .arg(options.arguments[1]));
        return false;
    }
    return true;
}

// The bytes into --output, or their dump text onto standard output.
int deliver(const CtlOptions &options, Console &console, const QByteArray &bytes)
{
    if (options.output.isEmpty()) {
        console.result(ServiceRead::dumpText(bytes));
        return ExitDone;
    }
    // "-": the bytes themselves onto standard output, for a pipe.
    if (options.output == QLatin1String("-")) {
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
            || std::fflush(stdout) != 0)
            return console.standardOutputFailed(errno);
        return ExitDone;
    }
    QString reason;
    if (!CompleteFileWriter::write(options.output, bytes, &reason)) {
        console.error(QStringLiteral("cannot write %1: %2").arg(options.output, reason));
        return ExitFileRefused;
    }
    return ExitDone;
}

// read-memory and read-flash: the range checked, the device chosen, the
// core's read, its bytes delivered.
int readRange(const CtlOptions &options, Console &console, int (*read)(USBVT350 &, quint32, int, QByteArray *),
              QString (*failure)(quint32 address, int length))
{
    quint32 address = 0;
    int length = 0;
    if (!parseRange(options, console, &address, &length))
        return ExitUsage;
    ChosenDevice chosen(options, console);
    if (chosen.status() != ExitDone)
        return chosen.status();
    QByteArray bytes;
    if (read(chosen.usb(), address, length, &bytes) != 0) {
        console.error(failure(address, length));
        return ExitDeviceFailed;
    }
    return deliver(options, console, bytes);
}

// One unit of list --json: its listing keys (serial without the
// bootloader's 'b' there, as before), the unit keys every document gives
// and the run's frame.
QJsonObject listEntry(const QJsonObject &frame, const Vt520Enumeration::Entry &device)
{
    QJsonObject entry = frame;
    const QJsonObject unit = JsonReport::unit(device);
    for (auto key = unit.begin(); key != unit.end(); ++key)
        entry.insert(key.key(), key.value());
    const QJsonObject listed = DeviceChoice::toJson(device);
    for (auto key = listed.begin(); key != listed.end(); ++key)
        entry.insert(key.key(), key.value());
    entry.insert("result", device.accessDenied()   ? QStringLiteral("access-denied")
                           : device.busy()         ? QStringLiteral("busy")
                           : device.unidentified() ? QStringLiteral("unidentified")
                                                   : QStringLiteral("present"));
    entry.insert("reason", device.accessDenied()   ? FailureText::sentence(Failure::Kind::AccessDenied)
                           : device.unidentified() ? DeviceChoice::unidentifiedReason(device)
                                                   : device.holder);
    entry.insert("attempts", device.unidentified() ? 2 : 1);
    return entry;
}

} // namespace

int list(const CtlOptions &options, Console &console)
{
    const QList<Vt520Enumeration::Entry> devices = DeviceChoice::attached(options, console);
    if (options.json) {
        // An array, as scripts read it, each unit in it with the run's
        // frame; no unit is an empty array (and exit status 3).
        QJsonObject frame = JsonReport::header(options);
        frame.remove(QStringLiteral("units"));
        frame.insert("endedAt", JsonReport::now());
        QJsonArray array;
        for (const Vt520Enumeration::Entry &device : devices)
            array.append(listEntry(frame, device));
        console.documentGiven();
        console.jsonResult(jsonText(QJsonDocument(array)));
        return devices.isEmpty() ? DeviceChoice::refuseNoDevice(console) : ExitDone;
    }
    if (devices.isEmpty())
        return DeviceChoice::refuseNoDevice(console);
    for (const Vt520Enumeration::Entry &device : devices)
        console.result(DeviceChoice::describe(device));
    // The hint once, beside the list, so that scripts reading the list's
    // first column see device lines only.
    const bool denied = std::any_of(devices.begin(), devices.end(),
                                    [](const Vt520Enumeration::Entry &device) { return device.accessDenied(); });
    if (denied)
        console.errorLine(FailureText::sentence(Failure::Kind::AccessDenied));
    return ExitDone;
}

namespace {

// The status word's requests on the chosen unit; ExitDone with *word read.
int statusWord(const CtlOptions &options, Console &console, USBVT350 &usb, quint32 *word)
{
    // The window's lines for its Set, Clear and Get buttons.
    const auto change = [&](int (USBVT350::*request)(uint32_t), const QString &name, quint32 mask) {
        if ((usb.*request)(mask) != 0) {
            console.errorLine(name + QStringLiteral("() ERROR"));
            return false;
        }
        if (!options.json)
            console.line(QStringLiteral("%1(%2)").arg(name, ServiceText::binary32(mask)));
        return true;
    };
    if (options.setGiven && !change(&USBVT350::StatusSet, QStringLiteral("StatusSet"), options.setMask))
        return ExitDeviceFailed;
    if (options.clearGiven && !change(&USBVT350::StatusClr, QStringLiteral("StatusClr"), options.clearMask))
        return ExitDeviceFailed;
    if (usb.StatusGet(word) != 0) {
        console.errorLine(QStringLiteral("Status: ERROR"));
        return ExitDeviceFailed;
    }
    return ExitDone;
}

} // namespace

int status(const CtlOptions &options, Console &console)
{
    ChosenDevice chosen(options, console);
    if (chosen.status() != ExitDone)
        return chosen.status();
    Clock &clock = Clock::standard();
    const qint64 start = clock.now();
    quint32 word = 0;
    const int status = statusWord(options, console, chosen.usb(), &word);
    if (!options.json) {
        if (status == ExitDone)
            console.result(QStringLiteral("Status: ") + ServiceText::binary32(word));
        return status;
    }
    QJsonObject unit = JsonReport::unit(chosen.entry());
    unit.insert("result", status == ExitDone ? QStringLiteral("ok") : QStringLiteral("failed"));
    unit.insert("reason", status == ExitDone ? QString() : console.reasons().value(0));
    unit.insert("seconds", double(clock.now() - start) / 1000.0);
    unit.insert("attempts", 1);
    QJsonObject document = JsonReport::header(options);
    document.insert("units", QJsonArray{unit});
    document.insert("portPath", chosen.entry().portPath);
    if (status == ExitDone) {
        document.insert("status", qint64(word));
        document.insert("hex", QStringLiteral("0x%1").arg(word, 8, 16, QLatin1Char('0')));
        document.insert("binary", ServiceText::binary32(word));
    }
    return JsonReport::give(console, document, status);
}

int readMemory(const CtlOptions &options, Console &console)
{
    return readRange(options, console, ServiceRead::memory, [](quint32 address, int length) {
        return QStringLiteral("reading %1 bytes of device memory at 0x%2 failed").arg(length).arg(address, 0, 16);
    });
}

int readFlash(const CtlOptions &options, Console &console)
{
    return readRange(options, console, ServiceRead::externalFlash,
                     [](quint32, int) { return QStringLiteral("ReadExternalFlashFromAddress error"); });
}

int writeFlash(const CtlOptions &options, Console &console)
{
    quint32 address = 0;
    if (!parseAddress(options, console, &address))
        return ExitUsage;
    // The whole file is checked and read before the device is touched; its
    // size first, so that nothing past the flash's end is ever read.
    const QString fileName = options.arguments[1];
    if (!ExtFlashBinWriter::fitsFlash(address, 0)) {
        console.error(QStringLiteral("ADDRESS 0x%1 lies past the end of the %2-byte external flash")
                          .arg(address, 0, 16)
                          .arg(ExtFlashBinWriter::FlashSize));
        return ExitUsage;
    }
    const qint64 room = ExtFlashBinWriter::FlashSize - address;
    QByteArray image;
    const auto tooLarge = [&](qint64 size) {
        return QStringLiteral("%1 bytes from address 0x%2 go past the end of the %3-byte external flash")
            .arg(size)
            .arg(address, 0, 16)
            .arg(ExtFlashBinWriter::FlashSize);
    };
    if (!InputFile::readAll(fileName, console, room, tooLarge, &image))
        return ExitFileRefused;
    if (!ExtFlashBinWriter::lengthAccepted(image.size())) {
        console.error(
            QStringLiteral("%1: Length should be aligned to 4 (it is %2 bytes)").arg(fileName).arg(image.size()));
        return ExitFileRefused;
    }

    ChosenDevice chosen(options, console);
    if (chosen.status() != ExitDone)
        return chosen.status();
    // Progress as the firmware change shows it: on standard error, kept
    // back with --quiet.
    ProgressLine progress(stderr, ProgressLine::drawsInPlace(STDERR_FILENO), !options.quiet && !options.noProgress);
    USBVT350 &usb = chosen.usb();
    QObject::connect(&usb, &USBVT350::sendPercentExtFlashWrite, &usb,
                     [&](int percent) { progress.show(QStringLiteral("Writing external flash"), percent); });
    QObject::connect(&usb, &USBVT350::sendPercentExtFlashRead, &usb,
                     [&](int percent) { progress.show(QStringLiteral("Verifying external flash"), percent); });
    qsizetype difference = 0;
    const ExtFlashBinWriter::Result written = ExtFlashBinWriter::writeAndVerify(usb, image, address, &difference);
    progress.finish();
    switch (written) {
    case ExtFlashBinWriter::Result::Ok:
        console.line(QStringLiteral("Write OK"));
        return ExitDone;
    case ExtFlashBinWriter::Result::LengthError: // checked above
        return ExitFileRefused;
    case ExtFlashBinWriter::Result::WriteFailed:
        console.error(QStringLiteral("WriteExternalFlashToAddress failed"));
        break;
    case ExtFlashBinWriter::Result::ReadFailed:
        console.error(QStringLiteral("ReadExternalFlashFromAddress failed"));
        break;
    case ExtFlashBinWriter::Result::Mismatch:
        console.error(QStringLiteral("the external flash reads back differently from byte %1 of %2 on "
                                     "(address 0x%3)")
                          .arg(difference)
                          .arg(fileName)
                          .arg(address + quint32(difference), 0, 16));
        break;
    }
    return ExitDeviceFailed;
}

} // namespace Commands
