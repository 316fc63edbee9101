#include "ctl/InputFile.h"

#include "ctl/Console.h"
#include "ctl/ExitStatus.h"
#include "firmware/FailureText.h"
#include "firmware/HexFileTexts.h"

#include "usb/NativeFile.h"

#include <QFile>

namespace InputFile {

namespace {

void refuseUnreadable(const QString &fileName, const QString &reason, Console &console)
{
    console.error(QStringLiteral("cannot read %1: %2").arg(fileName, reason));
}

} // namespace

bool sizeOf(const QString &fileName, Console &console, qint64 *size)
{
    const NativeFile::Entry info = NativeFile::entry(fileName);
    *size = -1;
    if (!info.exists)
        return true;
    if (!info.isFile) {
        console.error(QStringLiteral("%1: not a regular file").arg(fileName));
        return false;
    }
    *size = info.size;
    return true;
}

bool hexSizeAccepted(const QString &fileName, Console &console)
{
    qint64 size = 0;
    if (!sizeOf(fileName, console, &size))
        return false;
    if (size > MaxHexSize) {
        console.error(QStringLiteral("%1: %2 bytes, more than the %3 bytes a HEX file of the Vt520 may have")
                          .arg(fileName)
                          .arg(size)
                          .arg(MaxHexSize));
        return false;
    }
    return true;
}

void refuseHex(const QString &fileName, const HexToBinResult &result, Console &console)
{
    if (result.code == HexFileNotOpened)
        refuseUnreadable(fileName, result.reason, console);
    else
        console.error(refusedHexFileText(fileName, result));
}

bool readAll(const QString &fileName, Console &console, qint64 maxSize,
             const std::function<QString(qint64 size)> &tooLarge, QByteArray *bytes)
{
    qint64 size = 0;
    if (!sizeOf(fileName, console, &size))
        return false;
    if (size > maxSize) {
        console.error(QStringLiteral("%1: %2").arg(fileName, tooLarge(size)));
        return false;
    }
    QFile file;
    QString reason;
    if (!NativeFile::open(file, fileName, QIODevice::ReadOnly, &reason)) {
        refuseUnreadable(fileName, reason, console);
        return false;
    }
    *bytes = file.read(maxSize);
    if (file.error() != QFile::NoError) {
        refuseUnreadable(fileName, file.errorString(), console);
        return false;
    }
    return true;
}

int readUpgrade(const QString &fileName, Console &console,
                const std::function<void(const UpgradeFile::Contents &)> &showRefusal, UpgradeFile::Contents *contents)
{
    qint64 size = 0;
    if (!sizeOf(fileName, console, &size))
        return ExitFileRefused;
    if (size >= 0 && size != UpgradeFile::FileSize) {
        console.error(QStringLiteral("%1: %2 bytes; an upgrade file has exactly %3")
                          .arg(fileName)
                          .arg(size)
                          .arg(UpgradeFile::FileSize));
        return ExitFileRefused;
    }
    *contents = UpgradeFile::read(fileName);
    switch (contents->status) {
    case UpgradeFile::Status::Ok:
        return ExitDone;
    case UpgradeFile::Status::CannotOpen:
        refuseUnreadable(fileName, contents->reason, console);
        return ExitFileRefused;
    default:
        showRefusal(*contents);
        console.error(FailureText::upgradeFileRefusalLine(contents->status, fileName));
        return ExitFileRefused;
    }
}

} // namespace InputFile
