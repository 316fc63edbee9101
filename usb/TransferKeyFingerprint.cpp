#include "usb/TransferKeyFingerprint.h"

#include "usb/TransferKey.h"

#include <QByteArray>
#include <QCryptographicHash>

namespace TransferKeyFingerprint {

QString ofThisBuild()
{
    QByteArray bytes;
    bytes.reserve(TransferKeyWordCount * 4);
    for (const uint32_t word : TransferKey) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((word >> shift) & 0xFF));
    }
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16));
}

} // namespace TransferKeyFingerprint
