// make-upgrade and make-bootloader-images: files from Intel HEX, no device.
#include "ctl/Commands.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/ExitStatus.h"
#include "ctl/InputFile.h"
#include "firmware/BootloaderImage.h"
#include "firmware/HexFileTexts.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"

#include <QRegularExpression>

namespace Commands {

namespace {

constexpr int LastUnitNumber = 999; // three digits in the serial

} // namespace

int makeUpgrade(const CtlOptions &options, Console &console)
{
    const QString hexName = options.arguments[0];
    const QString target = options.arguments[1];
    // Refused as the window refuses it: the reason once, nothing written.
    if (!InputFile::hexSizeAccepted(hexName, console))
        return ExitFileRefused;
    const UpgradeImage::FromHex built = UpgradeImage::fromHexFile(hexName);
    if (built.hex.code != 0) {
        InputFile::refuseHex(hexName, built.hex, console);
        return ExitFileRefused;
    }
    if (built.hex.outsideBytes > 0)
        console.line(leftOutBytesLine(built.hex.outsideBytes));
    QString reason;
    if (!UpgradeFile::write(target, built.image, &reason)) {
        console.error(QStringLiteral("cannot write %1: %2").arg(target, reason));
        return ExitFileRefused;
    }
    return ExitDone;
}

int makeBootloaderImages(const CtlOptions &options, Console &console)
{
    // The window builds the prefix YYMM00 from its year and month lists.
    static const QRegularExpression prefixForm(QStringLiteral("^[0-9]{6}$"));
    if (!prefixForm.match(options.prefix).hasMatch()) {
        console.error(QStringLiteral("--prefix must be six digits (YYMM00), not \"%1\"").arg(options.prefix));
        return ExitUsage;
    }
    if (options.first < 1 || options.first > LastUnitNumber) {
        console.error(QStringLiteral("--first must be from 1 to %1").arg(LastUnitNumber));
        return ExitUsage;
    }
    // Compared without adding, so that a huge count cannot wrap round.
    if (options.count < 1 || options.count > LastUnitNumber - options.first + 1) {
        console.error(QStringLiteral("--count must be from 1 to %1 for --first %2")
                          .arg(LastUnitNumber - options.first + 1)
                          .arg(options.first));
        return ExitUsage;
    }

    const QString hexName = options.arguments[0];
    if (!InputFile::hexSizeAccepted(hexName, console))
        return ExitFileRefused;
    QByteArray bootloader;
    const HexToBinResult hexResult = BootloaderImage::readHex(hexName, &bootloader);
    if (hexResult.code != 0) {
        InputFile::refuseHex(hexName, hexResult, console);
        return ExitFileRefused;
    }
    QString reason;
    const QString failed = BootloaderImage::writeSeries(
        bootloader, options.prefix, options.first, options.count, options.folder,
        [&](const QString &line) { console.line(line); }, &reason);
    if (!failed.isEmpty()) {
        console.error(QStringLiteral("cannot write %1: %2").arg(failed, reason));
        return ExitFileRefused;
    }
    return ExitDone;
}

} // namespace Commands
