#pragma once

#include <QByteArray>
#include <QString>

// The upgrade file (.upg): in QDataStream form, the header text, the version
// text and the scrambled upgrade image, 262210 bytes in all.
namespace UpgradeFile {

inline const char HeaderText[] = "Vt520 Upgrade File Header";
inline const char VersionText[] = "01";
constexpr qint64 FileSize = 262210;

// Scrambles a copy of the plain image and writes the file through a
// temporary, so the target is either complete or left as it was.
// Returns false when the file could not be created or fully written;
// *reason (when given) then holds the system's reason.
bool write(const QString &fileName, const QByteArray &plainImage, QString *reason = nullptr);

enum class Status {
    Ok,
    CannotOpen, // the file is missing or may not be read; `reason` says why
    WrongHeader,
    WrongVersion,
    WrongSize,            // the image array is missing, cut short or not 262144 bytes
    DamagedApplication,   // the application region does not add up to its sum word
    DamagedExternalFlash, // the external flash region does not add up to its sum word
    EmptyApplication,     // the sums hold, but the application region holds no byte other than zero
};

struct Contents {
    Status status = Status::WrongHeader;
    // Exactly 262144 bytes when status is Ok, and also with a damaged
    // region, for a report of the file; only an Ok image may be written.
    QByteArray scrambledImage;
    QString reason; // the system's reason when status is CannotOpen
};

// Reads and checks the whole file, the sums of both regions of the
// descrambled image included.
Contents read(const QString &fileName);

// The words for a refused file are FailureText::upgradeFileRefusal.

} // namespace UpgradeFile
