#include "firmware/UpgradeFile.h"

#include "firmware/UpgradeImage.h"
#include "usb/CompleteFileWriter.h"
#include "usb/Scrambling.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
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
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.status = Status::CannotOpen;
        contents.reason = file.errorString();
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

QString refusalText(Status status, const QString &fileName)
{
    const QString text = statusText(status, fileName);
    if (status == Status::DamagedApplication || status == Status::DamagedExternalFlash
        || status == Status::EmptyApplication)
        return text; // names the file already
    return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(fileName), text);
}

QString statusText(Status status, const QString &fileName)
{
    const QString name = QDir::toNativeSeparators(fileName);
    switch (status) {
    case Status::Ok:
        return QString();
    case Status::CannotOpen:
    case Status::WrongHeader:
        return QCoreApplication::translate("Upgrader", "Wrong file header");
    case Status::WrongVersion:
        return QCoreApplication::translate("Upgrader", "Wrong file version");
    case Status::WrongSize:
        return QCoreApplication::translate("Upgrader", "Wrong file size");
    case Status::DamagedApplication:
        return QCoreApplication::translate("Upgrader", "The file %1 is damaged: its application region does not "
                                                       "match its sum. Nothing was sent to the Vt520.")
            .arg(name);
    case Status::DamagedExternalFlash:
        return QCoreApplication::translate("Upgrader", "The file %1 is damaged: its external flash region does not "
                                                       "match its sum. Nothing was sent to the Vt520.")
            .arg(name);
    case Status::EmptyApplication:
        return QCoreApplication::translate("Upgrader", "The file %1 holds no application: its application region is "
                                                       "all zeros. Nothing was sent to the Vt520.")
            .arg(name);
    }
    return QString();
}

} // namespace UpgradeFile
