// Helper for the emulator's persistence test: run in a process of its own
// with VT520_SIM_STATE set, it talks to the emulated Vt520 through the
// shipping command set.
//   StateProbe write <hex>   writes the bytes to external flash at 0x14000
//                            and resets the device into its bootloader
//   StateProbe read <n>      prints n bytes from 0x14000 as hex, then the
//                            serial string on a second line
#include "usb/USBVT350.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    QTextStream out(stdout);
    USBVT350 usb;
    if (args[1] == "write") {
        const QByteArray data = QByteArray::fromHex(args[2].toLatin1());
        if (usb.WriteExternalFlashToAddress(reinterpret_cast<const unsigned char *>(data.constData()), 0x14000,
                                            uint32_t(data.size()))
            != 0)
            return 1;
        usb.RunApplication();
        return 0;
    }
    if (args[1] == "read") {
        QByteArray data(args[2].toInt(), '\0');
        if (usb.ReadExternalFlashFromAddress(reinterpret_cast<unsigned char *>(data.data()), 0x14000,
                                             uint32_t(data.size()))
            != 0)
            return 1;
        out << data.toHex() << "\n" << usb.getSerialString() << "\n";
        return 0;
    }
    return 2;
}
