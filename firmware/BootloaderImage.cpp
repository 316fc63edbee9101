#include "firmware/BootloaderImage.h"

#include "usb/CompleteFileWriter.h"

#include <QDir>

namespace BootloaderImage {

QByteArray serial(const QString &prefix, int unitNumber)
{
    return (prefix + QStringLiteral("%1").arg(unitNumber, 3, 10, QLatin1Char('0'))).toLatin1();
}

QString fileName(const QByteArray &serial)
{
    return QStringLiteral("Vt520Bootloader_") + QString::fromLatin1(serial) + QStringLiteral(".bin");
}

HexToBinResult readHex(const QString &hexFileName, QByteArray *image)
{
    *image = QByteArray(Size, '\0');
    return readHexWindow(hexFileName, reinterpret_cast<unsigned char *>(image->data()), BaseAddress,
                         BaseAddress + Size - 1);
}

QByteArray withSerial(const QByteArray &image, const QByteArray &serial)
{
    QByteArray result = image;
    result.replace(SerialOffset, SerialLength, serial.left(SerialLength).leftJustified(SerialLength, '\0'));
    return result;
}

bool write(const QString &fileName, const QByteArray &image, QString *reason)
{
    return CompleteFileWriter::write(fileName, image, reason);
}

QString writeSeries(const QByteArray &image, const QString &prefix, int firstNumber, int count, const QString &folder,
                    const std::function<void(const QString &)> &say, QString *reason)
{
    for (int unit = firstNumber; unit < firstNumber + count; ++unit) {
        const QByteArray unitSerial = serial(prefix, unit);
        say(QString::fromLatin1(unitSerial));
        const QString name = folder.isEmpty() ? fileName(unitSerial) : QDir(folder).filePath(fileName(unitSerial));
        if (!write(name, withSerial(image, unitSerial), reason))
            return name;
        say(QStringLiteral("New bootloader + serial:"));
        say(name);
    }
    return QString();
}

} // namespace BootloaderImage
