#include "firmware/BootloaderImage.h"

#include "firmware/HexToBin.h"

#include <QSaveFile>

namespace BootloaderImage {

QByteArray serial(const QString &prefix, int unitNumber)
{
    return (prefix + QStringLiteral("%1").arg(unitNumber, 3, 10, QLatin1Char('0'))).toLatin1();
}

QString fileName(const QByteArray &serial)
{
    return QStringLiteral("Vt520Bootloader_") + QString::fromLatin1(serial) + QStringLiteral(".bin");
}

int readHex(const QString &hexFileName, QByteArray *image)
{
    *image = QByteArray(Size, '\0');
    return HexToBin(hexFileName, reinterpret_cast<unsigned char *>(image->data()), BaseAddress,
                    BaseAddress + Size - 1);
}

QByteArray withSerial(const QByteArray &image, const QByteArray &serial)
{
    QByteArray result = image;
    result.replace(SerialOffset, SerialLength, serial.left(SerialLength).leftJustified(SerialLength, '\0'));
    return result;
}

bool write(const QString &fileName, const QByteArray &image)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(image) != image.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace BootloaderImage
