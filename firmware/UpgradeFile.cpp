#include "firmware/UpgradeFile.h"

#include "firmware/UpgradeImage.h"
#include "usb/CompleteFileWriter.h"
#include "usb/NativeFile.h"
#include "usb/Scrambling.h"

#include <QDataStream>
#include <QFile>

namespace UpgradeFile {

namespace {
// The three items are encoded the same way in every stream version; pinning
// one keeps the format fixed whatever the toolkit's default becomes.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_4_5;
// A region whose words do not add up to its sum word was changed after the
// file was made: the unit's own check would refuse to start it, or the
// external flash would take data nobody made.
Status damagedRegion(const QByteArray &scrambledImage)
{
    QByteArray image = scrambledImage;
    auto *plain = reinterpret_cast<unsigned char *>(image.data());
    DecodeBuffer(plain, quint32(image.size()));
    if (!UpgradeImage::regionSumHolds(plain + UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize))
        return Status::DamagedApplication;
    if (!UpgradeImage::regionSumHolds(plain + UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize))
        return Status::DamagedExternalFlash;
    if (!UpgradeImage::holdsApplication(plain))
        return Status::EmptyApplication;
    return Status::Ok;
}

} // namespace

bool write(const QString &fileName, const QByteArray &plainImage, QString *reason)
{
    if (plainImage.size() != UpgradeImage::Size) {
        if (reason)
            *reason = QStringLiteral("the image is not %1 bytes").arg(UpgradeImage::Size);
        return false;
    }
    QByteArray scrambled = plainImage;
    EncodeBuffer(reinterpret_cast<unsigned char *>(scrambled.data()), quint32(scrambled.size()));

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(StreamVersion);
    out << QString::fromLatin1(HeaderText) << QString::fromLatin1(VersionText) << scrambled;
    return CompleteFileWriter::write(fileName, bytes, reason);
}

Contents read(const QString &fileName)
{
    Contents contents;
    QFile file;
    if (!NativeFile::open(file, fileName, QIODevice::ReadOnly, &contents.reason)) {
        contents.status = Status::CannotOpen;
        return contents;
    }
    QDataStream in(&file);
    in.setVersion(StreamVersion);

    QString header;
    in >> header;
    if (header != QLatin1String(HeaderText)) {
        contents.status = Status::WrongHeader;
        return contents;
    }
    QString version;
    in >> version;
    if (version != QLatin1String(VersionText)) {
        contents.status = Status::WrongVersion;
        return contents;
    }
    QByteArray image;
    in >> image;
    if (in.status() != QDataStream::Ok || image.size() != UpgradeImage::Size) {
        contents.status = Status::WrongSize;
        return contents;
    }
    contents.status = damagedRegion(image);
    contents.scrambledImage = image;
    return contents;
}

} // namespace UpgradeFile
