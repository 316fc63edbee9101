// programs get|set and scenes get|set: the tables between the device and files.
#include "ctl/Commands.h"

#include "ctl/ChosenDevice.h"
#include "ctl/Command.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/InputFile.h"
#include "ctl/Interruption.h"
#include "ctl/JsonReport.h"
#include "firmware/FailureText.h"
#include "lighting/LightingFileTransfer.h"
#include "usb/Clock.h"
#include "usb/USBVT350.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>

namespace Commands {

namespace {

enum class Direction { Get, Set };

constexpr qint64 MaxTableFileSize = 1024 * 1024;

// What a command did to the unit and the file, for its --json document.
struct Outcome {
    QString port;                 // empty while no unit was chosen
    Vt520Enumeration::Entry unit; // the chosen unit as found
    qint64 milliseconds = 0;      // the transfer's time
    bool reached = false;         // a transfer was tried
    bool hostAccessMayBeSet = false;
    QString unitHolds;        // set: old, new, mix or unknown (old, new or a mix)
    bool fileWritten = false; // get
};

// The last line after a failure that may have left the host-access bit set:
// the unit keeps it until it is cleared or the unit starts afresh.
void reportHostAccess(Console &console, const QString &port)
{
    console.error(QStringLiteral("the Vt520 at %1 may still have its host-access bit set: clear it with "
                                 "'vt520ctl status --clear 1', or unplug the unit and plug it in again")
                      .arg(port));
}

QString unitHoldsName(LightingTransfer::Verified verified)
{
    switch (verified) {
    case LightingTransfer::Verified::Done:
    case LightingTransfer::Verified::ReleaseFailed:
        return QStringLiteral("new");
    case LightingTransfer::Verified::AcquireFailed:
        return QStringLiteral("old");
    case LightingTransfer::Verified::Mismatch:
        return QStringLiteral("mix");
    case LightingTransfer::Verified::WriteFailed:
    case LightingTransfer::Verified::ReadBackFailed:
        break;
    }
    return QStringLiteral("unknown");
}

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

int transfer(const CtlOptions &options, Console &console, LightingFile::Kind kind, Direction direction,
             Outcome *outcome)
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
            console.error(QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(fileName), loaded.reason));
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
    const QString port = chosen.entry().portPath;
    outcome->port = port;
    outcome->unit = chosen.entry();
    outcome->reached = true;
    const qint64 start = Clock::standard().now();
    const auto timed = qScopeGuard([&] { outcome->milliseconds = Clock::standard().now() - start; });

    LightingFileTransfer::Result result;
    if (set) {
        LightingTransfer table(usb);
        const LightingTransfer::Verified verified =
            table.writeVerified(LightingFileTransfer::locationOf(kind), loaded.table.constData());
        outcome->unitHolds = unitHoldsName(verified);
        outcome->hostAccessMayBeSet = table.hostAccessMayBeSet();
        result.hostAccessMayBeSet = table.hostAccessMayBeSet();
        if (verified != LightingTransfer::Verified::AcquireFailed) {
            const int status = reportVerified(verified, console, port, what, fileName);
            // A failed release says so itself; after another failure the
            // bit is named last.
            if (table.hostAccessMayBeSet() && verified != LightingTransfer::Verified::ReleaseFailed)
                reportHostAccess(console, port);
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
        result.failure = table.failure();
    } else {
        // Get + Save.
        result = LightingFileTransfer::getToFile(usb, kind, fileName);
        outcome->hostAccessMayBeSet = result.hostAccessMayBeSet;
        outcome->fileWritten = result.status == LightingFileTransfer::Status::Done;
    }

    int status = ExitDeviceFailed;
    switch (result.status) {
    case LightingFileTransfer::Status::Done:
        if (!result.hostAccessMayBeSet)
            return ExitDone;
        console.error(QStringLiteral("the %1 are saved in %2, but the Vt520 at %3 did not give back host access "
                                     "(StatusClr of bit 0)")
                          .arg(what, QDir::toNativeSeparators(fileName), port));
        break;
    case LightingFileTransfer::Status::SaveFailed:
        console.error(QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(fileName), result.reason));
        status = ExitFileRefused;
        break;
    case LightingFileTransfer::Status::AcquireFailed:
        console.error(QStringLiteral("the Vt520 at %1 did not grant access to its %2 (USB Timeout)").arg(port, what));
        if (result.failure.kind == Failure::Kind::AccessDenied)
            console.errorLine(FailureText::sentence(result.failure.kind));
        break;
    case LightingFileTransfer::Status::TransferFailed:
        console.error(set ? QStringLiteral("writing the %1 to the Vt520 failed (WriteExternalFlashToAddress)").arg(what)
                          : QStringLiteral("reading the %1 from the Vt520 failed; no file written").arg(what));
        break;
    }
    if (result.hostAccessMayBeSet)
        reportHostAccess(console, port);
    return status;
}

// The command, and with --json one document at its end: the exit status and
// errors as every command gives them, the unit, whether it may still hold
// its host-access bit, and what the unit (set) or the file (get) holds.
int run(const CtlOptions &options, Console &console, LightingFile::Kind kind, Direction direction)
{
    Outcome outcome;
    const int status = transfer(options, console, kind, direction, &outcome);
    if (!options.json)
        return status;
    const QString fileName = options.arguments.value(0);
    QJsonObject document = JsonReport::header(options);
    // For a get, the file is described as it was written.
    JsonReport::addFile(&document, fileName);
    document.insert("file", QDir::toNativeSeparators(fileName));
    document.insert("portPath", outcome.port.isEmpty() ? QJsonValue() : QJsonValue(outcome.port));
    document.insert("hostAccessMayBeSet", outcome.hostAccessMayBeSet);
    if (direction == Direction::Set)
        document.insert("unitHolds", outcome.reached ? QJsonValue(outcome.unitHolds) : QJsonValue());
    else
        document.insert("fileWritten", outcome.fileWritten);
    if (outcome.reached) {
        QJsonObject unit = JsonReport::unit(outcome.unit);
        unit.insert("result", status == ExitDone                     ? QStringLiteral("ok")
                              : status == Interruption::exitStatus() ? QStringLiteral("interrupted")
                                                                     : QStringLiteral("failed"));
        unit.insert("reason", status == ExitDone ? QString() : console.reasons().value(0));
        unit.insert("seconds", double(outcome.milliseconds) / 1000.0);
        unit.insert("attempts", 1);
        document.insert("units", QJsonArray{unit});
    }
    return JsonReport::give(console, document, status);
}

} // namespace

int programsGet(const CtlOptions &options, Console &console)
{
    return run(options, console, LightingFile::Kind::Programs, Direction::Get);
}

int programsSet(const CtlOptions &options, Console &console)
{
    return run(options, console, LightingFile::Kind::Programs, Direction::Set);
}

int scenesGet(const CtlOptions &options, Console &console)
{
    return run(options, console, LightingFile::Kind::Scenes, Direction::Get);
}

int scenesSet(const CtlOptions &options, Console &console)
{
    return run(options, console, LightingFile::Kind::Scenes, Direction::Set);
}

} // namespace Commands
