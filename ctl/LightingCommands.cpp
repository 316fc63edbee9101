// programs get|set and scenes get|set: the tables between the device and files.
#include "ctl/Commands.h"

#include "ctl/ChosenDevice.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/InputFile.h"
#include "ctl/Interruption.h"
#include "lighting/LightingFileTransfer.h"
#include "usb/USBVT350.h"

#include <QDir>

namespace Commands {

namespace {

enum class Direction { Get, Set };

constexpr qint64 MaxTableFileSize = 1024 * 1024;

// The outcome of a verified set once the unit granted access: what went
// wrong, then what the unit now holds and what to do.
int reportVerified(LightingTransfer::Verified verified, Console &console, const QString &port, const QString &what,
                   const QString &fileName)
{
    const QString mix = QStringLiteral("the Vt520 at %1 may hold its old %2, the new ones or a mix of both: "
                                       "write them again")
                            .arg(port, what);
    switch (verified) {
    case LightingTransfer::Verified::Done:
        return ExitDone;
    case LightingTransfer::Verified::AcquireFailed: // reported by the caller
        break;
    case LightingTransfer::Verified::WriteFailed:
        console.error(QStringLiteral("writing the %1 to the Vt520 failed (WriteExternalFlashToAddress)").arg(what));
        console.error(mix);
        break;
    case LightingTransfer::Verified::ReadBackFailed:
        console.error(
            QStringLiteral("reading the %1 back from the Vt520 failed (ReadExternalFlashFromAddress)").arg(what));
        console.error(mix);
        break;
    case LightingTransfer::Verified::Mismatch:
        console.error(QStringLiteral("the %1 read back from the Vt520 differ from %2")
                          .arg(what, QDir::toNativeSeparators(fileName)));
        console.error(
            QStringLiteral("the Vt520 at %1 holds a mix of its old and the new %2: write them again").arg(port, what));
        break;
    case LightingTransfer::Verified::ReleaseFailed:
        console.error(QStringLiteral("the Vt520 at %1 did not give back host access (StatusClr of bit 0)").arg(port));
        console.error(QStringLiteral("the Vt520 at %1 holds the new %2, its host-access bit still set: write them "
                                     "again, or clear it with 'vt520ctl status --clear 1'")
                          .arg(port, what));
        break;
    }
    return ExitDeviceFailed;
}

int transfer(const CtlOptions &options, Console &console, LightingFile::Kind kind, Direction direction)
{
    const bool set = direction == Direction::Set;
    const QString what = kind == LightingFile::Kind::Programs ? QStringLiteral("programs") : QStringLiteral("scenes");
    const QString fileName = options.arguments[0];

    // Load + Set: the whole file is checked before the device is touched.
    LightingFile::ReadResult loaded;
    if (set) {
        // A programs or scenes file is a few KiB; anything but a regular
        // file of a sane size is refused before it is read.
        qint64 size = 0;
        if (!InputFile::sizeOf(fileName, console, &size))
            return ExitFileRefused;
        if (size > MaxTableFileSize) {
            console.error(QStringLiteral("%1: %2 bytes, more than a %3 file may have")
                              .arg(QDir::toNativeSeparators(fileName))
                              .arg(size)
                              .arg(what));
            return ExitFileRefused;
        }
        loaded = LightingFile::load(fileName, kind);
        if (loaded.status == LightingFile::Status::CannotOpen) {
            console.error(QStringLiteral("cannot read %1").arg(QDir::toNativeSeparators(fileName)));
            return ExitFileRefused;
        }
        if (loaded.status != LightingFile::Status::Ok) {
            console.error(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName),
                                                       LightingFile::loadFailureText(loaded.status)));
            return ExitFileRefused;
        }
    }

    ChosenDevice chosen(options, console);
    if (chosen.status() != ExitDone)
        return chosen.status();
    USBVT350 &usb = chosen.usb();

    LightingFileTransfer::Result result;
    if (set) {
        const LightingTransfer::Verified verified =
            LightingTransfer(usb).writeVerified(LightingFileTransfer::locationOf(kind), loaded.table.constData());
        if (verified != LightingTransfer::Verified::AcquireFailed) {
            const int status = reportVerified(verified, console, chosen.entry().portPath, what, fileName);
            // The write and the release are one step; a signal during it
            // is acted on here, with what the unit holds said above.
            if (!Interruption::requested())
                return status;
            if (status == ExitDone)
                console.error(QStringLiteral("%1: unit %2 holds the new %3, written and checked")
                                  .arg(Interruption::signalName(), chosen.entry().portPath, what));
            return Interruption::exitStatus();
        }
        result.status = LightingFileTransfer::Status::AcquireFailed;
    } else {
        // Get + Save.
        result = LightingFileTransfer::getToFile(usb, kind, fileName);
    }

    switch (result.status) {
    case LightingFileTransfer::Status::Done:
        return ExitDone;
    case LightingFileTransfer::Status::SaveFailed:
        console.error(QStringLiteral("The file %1 could not be saved: %2")
                          .arg(QDir::toNativeSeparators(fileName), result.reason));
        return ExitFileRefused;
    case LightingFileTransfer::Status::AcquireFailed:
        console.error(QStringLiteral("the Vt520 at %1 did not grant access to its %2 (USB Timeout)")
                          .arg(chosen.entry().portPath, what));
        if (usb.lastConnectDeniedAccess())
            console.errorLine(UsbDevice::accessDeniedHint());
        return ExitDeviceFailed;
    case LightingFileTransfer::Status::TransferFailed:
        console.error(set ? QStringLiteral("writing the %1 to the Vt520 failed (WriteExternalFlashToAddress)").arg(what)
                          : QStringLiteral("reading the %1 from the Vt520 failed; no file written").arg(what));
        return ExitDeviceFailed;
    }
    return ExitDeviceFailed;
}

} // namespace

int programsGet(const CtlOptions &options, Console &console)
{
    return transfer(options, console, LightingFile::Kind::Programs, Direction::Get);
}

int programsSet(const CtlOptions &options, Console &console)
{
    return transfer(options, console, LightingFile::Kind::Programs, Direction::Set);
}

int scenesGet(const CtlOptions &options, Console &console)
{
    return transfer(options, console, LightingFile::Kind::Scenes, Direction::Get);
}

int scenesSet(const CtlOptions &options, Console &console)
{
    return transfer(options, console, LightingFile::Kind::Scenes, Direction::Set);
}

} // namespace Commands
