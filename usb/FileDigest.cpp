#include "usb/FileDigest.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

FileDigest FileDigest::of(const QString &fileName)
{
    FileDigest digest;
    // Only a regular file: a FIFO or device would be consumed or never end.
    if (!QFileInfo(fileName).isFile())
        return digest;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return digest;
    if (file.size() > LargestHashed) {
        digest.valid = true;
        digest.size = file.size();
        return digest;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return digest;
    digest.valid = true;
    digest.sha256 = QString::fromLatin1(hash.result().toHex());
    digest.size = file.size();
    return digest;
}
