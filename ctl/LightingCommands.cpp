// programs get|set and scenes get|set: the tables between the device and files.
#include "ctl/Commands.h"

#include "ctl/ChosenDevice.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "lighting/LightingFileTransfer.h"
#include "usb/USBVT350.h"

#include <QDir>

namespace Commands {

namespace {

enum class Direction { Get, Set };

int transfer(const CtlOptions &options, Console &console, LightingFile::Kind kind, Direction direction)
{
    const bool set = direction == Direction::Set;
    const QString what = kind == LightingFile::Kind::Programs ? QStringLiteral("programs") : QStringLiteral("scenes");
    const QString fileName = options.arguments[0];

    // Load + Set: the whole file is checked before the device is touched.
    LightingFile::ReadResult loaded;
    if (set) {
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
        result.status = LightingFileTransfer::statusOf(
            LightingTransfer(usb).write(LightingFileTransfer::locationOf(kind), loaded.table.constData()));
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
