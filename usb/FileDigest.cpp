#include "usb/FileDigest.h"

#include "usb/NativeFile.h"

#include <QCryptographicHash>

FileDigest FileDigest::of(const QString &fileName)
{
    FileDigest digest;
    // Only a regular file: a FIFO or device would be consumed or never end.
    if (!NativeFile::entry(fileName).isFile)
        return digest;
    QFile file;
    if (!NativeFile::open(file, fileName, QIODevice::ReadOnly))
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
