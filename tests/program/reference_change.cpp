// The reference for the program's firmware change through usbfs: the same
// change made by the core on the emulator linked in, on the virtual clock.
//   reference_change make FILE SEED   writes an upgrade file
//   reference_change change FILE      changes the device of VT520_SIM_STATE
#include "EmulatorClock.h"
#include "firmware/FirmwareChange.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "sim/Vt520Sim.h"
#include "usb/USBVT350.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void dropDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(dropDebug);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "make") {
        QByteArray image(UpgradeImage::Size, '\0');
        quint32 x = args[3].toUInt();
        for (int i = UpgradeImage::ApplicationOffset;
             i < UpgradeImage::ExternalFlashOffset + UpgradeImage::ExternalFlashSize; ++i) {
            x = x * 1664525u + 1013904223u;
            image[i] = char(x >> 24);
        }
        UpgradeImage::storeRegionSums(reinterpret_cast<unsigned char *>(image.data()));
        return UpgradeFile::write(args[2], image) ? 0 : 1;
    }
    if (args.size() == 3 && args[1] == "change") {
        vt520sim::Bus::instance().useVirtualClock(true);
        USBVT350 usb;
        QStringList lines;
        FirmwareChange::Callbacks callbacks;
        callbacks.say = [&](const QString &line) { lines.append(line); };
        EmulatorClock clock;
        // Done only with the unit back on the new firmware.
        const bool done = FirmwareChange(usb, callbacks, clock).run(args[2]);
        if (!done)
            fprintf(stderr, "reference change failed: %s\n", qPrintable(lines.join(" | ")));
        return done ? 0 : 1;
    }
    fprintf(stderr, "usage: reference_change make FILE SEED | change FILE\n");
    return 2;
}
