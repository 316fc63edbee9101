#pragma once

#include <QString>
#include <QStringList>

// How a firmware change ended, read from the lines it put into the log pane.
// Every ending but Unspecified is one that the change is designed to give.
enum class ChangeOutcome {
    Completed,               // "... Verify External Flash ...  ", "OK"
    FirstConnectionTimeout,  // "USB Timeout\nCheck USB Cable"
    VersionReadError,        // "Bootloader Version Read Error"
    SerialOfNeitherMode,     // "Serial:" and the serial string, nothing written
    BootloaderTimeout,       // "USB timout\nCheck USB cable"
    PageWriteError,          // "ERROR" as the last line
    ExternalFlashError,      // "Error" as the last line
    ExternalFlashDiffers,    // "Error", "read_buffer", dump, "ext_datas.data()", dump
    Unspecified,
};

inline QString outcomeName(ChangeOutcome outcome)
{
    switch (outcome) {
    case ChangeOutcome::Completed: return QStringLiteral("completed");
    case ChangeOutcome::FirstConnectionTimeout: return QStringLiteral("first connection timeout");
    case ChangeOutcome::VersionReadError: return QStringLiteral("version read error");
    case ChangeOutcome::SerialOfNeitherMode: return QStringLiteral("serial of neither mode");
    case ChangeOutcome::BootloaderTimeout: return QStringLiteral("bootloader timeout");
    case ChangeOutcome::PageWriteError: return QStringLiteral("page write error");
    case ChangeOutcome::ExternalFlashError: return QStringLiteral("external flash error");
    case ChangeOutcome::ExternalFlashDiffers: return QStringLiteral("external flash differs");
    case ChangeOutcome::Unspecified: return QStringLiteral("UNSPECIFIED ENDING");
    }
    return QString();
}

inline ChangeOutcome classifyOutcome(const QStringList &lines)
{
    if (lines.isEmpty())
        return ChangeOutcome::Unspecified;
    const QString &last = lines.last();
    const int count = int(lines.size());
    if (count >= 2 && last == QLatin1String("OK") && lines.at(count - 2) == QLatin1String("Verify External Flash ...  "))
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
    if (count >= 5 && lines.at(count - 5) == QLatin1String("Error") && lines.at(count - 4) == QLatin1String("read_buffer")
        && lines.at(count - 2) == QLatin1String("ext_datas.data()"))
        return ChangeOutcome::ExternalFlashDiffers;
    return ChangeOutcome::Unspecified;
}
