#pragma once

#include "firmware/FailureText.h"
#include "firmware/FirmwareChange.h"

#include <QString>
#include <QStringList>

// How a firmware change ended: its own outcome, checked against the lines it
// put into the log pane before its verdict. Every ending but Unspecified is
// one that the change is designed to give.
enum class ChangeOutcome {
    Completed,              // back on the new firmware: "... Verify External Flash ...  ", "OK"
    PagesDiffer,            // written through, "ERROR" for a page that did not read back equal
    StayedInBootloader,     // written through, but the unit came back in its bootloader
    NotBack,                // written through, but the unit was not seen again
    FirstConnectionTimeout, // "USB Timeout\nCheck USB Cable"
    VersionReadError,       // "Bootloader Version Read Error"
    SerialOfNeitherMode,    // "Serial:" and the serial string, nothing written
    BootloaderTimeout,      // "USB timout\nCheck USB cable"
    PageWriteError,         // "ERROR" as the last line
    ExternalFlashError,     // "Error" as the last line
    ExternalFlashDiffers,   // "Error", "read_buffer", dump, "ext_datas.data()", dump
    Unspecified,
};

inline QString outcomeName(ChangeOutcome outcome)
{
    switch (outcome) {
    case ChangeOutcome::Completed:
        return QStringLiteral("completed");
    case ChangeOutcome::PagesDiffer:
        return QStringLiteral("page read back different");
    case ChangeOutcome::StayedInBootloader:
        return QStringLiteral("came back in its bootloader");
    case ChangeOutcome::NotBack:
        return QStringLiteral("not back after the start");
    case ChangeOutcome::FirstConnectionTimeout:
        return QStringLiteral("first connection timeout");
    case ChangeOutcome::VersionReadError:
        return QStringLiteral("version read error");
    case ChangeOutcome::SerialOfNeitherMode:
        return QStringLiteral("serial of neither mode");
    case ChangeOutcome::BootloaderTimeout:
        return QStringLiteral("bootloader timeout");
    case ChangeOutcome::PageWriteError:
        return QStringLiteral("page write error");
    case ChangeOutcome::ExternalFlashError:
        return QStringLiteral("external flash error");
    case ChangeOutcome::ExternalFlashDiffers:
        return QStringLiteral("external flash differs");
    case ChangeOutcome::Unspecified:
        return QStringLiteral("UNSPECIFIED ENDING");
    }
    return QString();
}

// The ending that the lines before the verdict show.
inline ChangeOutcome classifyLines(const QStringList &lines)
{
    if (lines.isEmpty())
        return ChangeOutcome::Unspecified;
    const QString &last = lines.last();
    const int count = int(lines.size());
    if (count >= 2 && last == QLatin1String("OK")
        && lines.at(count - 2) == QLatin1String("Verify External Flash ...  "))
        return ChangeOutcome::Completed;
    if (last == QLatin1String("USB Timeout\nCheck USB Cable"))
        return ChangeOutcome::FirstConnectionTimeout;
    if (last == QLatin1String("Bootloader Version Read Error"))
        return ChangeOutcome::VersionReadError;
    if (last.startsWith(QLatin1String("Serial:")) && !lines.contains(QLatin1String("Writting firmware ... ")))
        return ChangeOutcome::SerialOfNeitherMode;
    if (last == QLatin1String("USB timout\nCheck USB cable"))
        return ChangeOutcome::BootloaderTimeout;
    if (last == QLatin1String("ERROR") && lines.contains(QLatin1String("Writting firmware ... "))
        && !lines.contains(QLatin1String("Writting External Flash ... ")))
        return ChangeOutcome::PageWriteError;
    if (last == QLatin1String("Error") && lines.contains(QLatin1String("Writting External Flash ... ")))
        return ChangeOutcome::ExternalFlashError;
    if (count >= 5 && lines.at(count - 5) == QLatin1String("Error")
        && lines.at(count - 4) == QLatin1String("read_buffer")
        && lines.at(count - 2) == QLatin1String("ext_datas.data()"))
        return ChangeOutcome::ExternalFlashDiffers;
    return ChangeOutcome::Unspecified;
}

// The ending of a run of the unit with this serial at this port: its
// outcome, which the lines before its verdict must bear out, and the verdict
// itself as the last line.
inline ChangeOutcome classifyOutcome(const QStringList &lines, FirmwareChange::Outcome outcome, const QString &serial,
                                     const QString &port)
{
    using Outcome = FirmwareChange::Outcome;
    const bool verdictSaid = !lines.isEmpty()
                             && (lines.last() == FailureText::verdict(outcome, serial, port, false)
                                 || lines.last() == FailureText::verdict(outcome, serial, port, true));
    if (!verdictSaid)
        return ChangeOutcome::Unspecified;
    const QStringList before = lines.mid(0, lines.size() - 1);
    const ChangeOutcome shown = classifyLines(before);
    const bool writtenThrough = shown == ChangeOutcome::Completed;
    switch (outcome) {
    case Outcome::Changed:
        return writtenThrough && !before.contains(QLatin1String("ERROR")) ? ChangeOutcome::Completed
                                                                          : ChangeOutcome::Unspecified;
    case Outcome::PagesDiffer:
        return writtenThrough && before.contains(QLatin1String("ERROR")) ? ChangeOutcome::PagesDiffer
                                                                         : ChangeOutcome::Unspecified;
    case Outcome::StayedInBootloader:
        return writtenThrough ? ChangeOutcome::StayedInBootloader : ChangeOutcome::Unspecified;
    case Outcome::NotBack:
        return writtenThrough ? ChangeOutcome::NotBack : ChangeOutcome::Unspecified;
    case Outcome::NoDevice:
        return shown == ChangeOutcome::FirstConnectionTimeout ? shown : ChangeOutcome::Unspecified;
    case Outcome::NotIdentified:
        return shown == ChangeOutcome::VersionReadError || shown == ChangeOutcome::SerialOfNeitherMode
                   ? shown
                   : ChangeOutcome::Unspecified;
    case Outcome::BootloaderNotReached:
        return shown == ChangeOutcome::BootloaderTimeout ? shown : ChangeOutcome::Unspecified;
    case Outcome::PageWriteFailed:
        return shown == ChangeOutcome::PageWriteError ? shown : ChangeOutcome::Unspecified;
    case Outcome::ExternalFlashFailed:
    case Outcome::StoppedAnswering:
        return shown == ChangeOutcome::ExternalFlashError ? shown : ChangeOutcome::Unspecified;
    case Outcome::ExternalFlashDiffers:
        return shown == ChangeOutcome::ExternalFlashDiffers ? shown : ChangeOutcome::Unspecified;
    case Outcome::NotRun:
    case Outcome::FileRefused:
    case Outcome::Stopped: // the sweep never asks a change to stop
    case Outcome::StoppedUntouched:
        break;
    }
    return ChangeOutcome::Unspecified;
}
