#include "usb/tools/ServiceRead.h"

#include "usb/HexDump.h"
#include "usb/Scrambling.h"
#include "usb/USBVT350.h"

namespace ServiceRead {

namespace {

quint8 *data(QByteArray &buffer)
{
    return reinterpret_cast<quint8 *>(buffer.data());
}

} // namespace

int memory(USBVT350 &usb, quint32 address, int length, QByteArray *bytes)
{
    *bytes = QByteArray(length, '\0');
    return usb.ReadMemory(data(*bytes), address, quint32(length));
}

int externalFlash(USBVT350 &usb, quint32 address, int length, QByteArray *bytes)
{
    QByteArray buffer(length, '\0');
    if (usb.ReadExternalFlashFromAddress(data(buffer), address, quint32(length)) != 0) {
        bytes->clear();
        return -1;
    }
    DecodeBuffer(data(buffer), quint32(length));
    *bytes = buffer;
    return 0;
}

QString dumpText(const QByteArray &bytes)
{
    return QString::fromLatin1(HexDump(reinterpret_cast<const quint8 *>(bytes.constData()), int(bytes.size())));
}

} // namespace ServiceRead
