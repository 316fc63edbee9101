#include "lighting/LightingFile.h"

#include "lighting/SceneTables.h"
#include "usb/CompleteFileWriter.h"
#include "usb/NativeFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDataStream>
#include <QFile>

#include <climits>

namespace {

// QString and QByteArray are encoded alike by every stream version since
// Qt 4; the version is pinned so the files never depend on the Qt in use.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_4_5;

// Reads one QString item and tells whether it is exactly `expected`. The byte
// count is checked first, so a foreign file with a huge count is refused
// without reading (or allocating) that much.
bool readExactText(QDataStream &in, const QString &expected)
{
    quint32 byteCount = 0;
    in >> byteCount;
    if (in.status() != QDataStream::Ok || byteCount != quint32(expected.size()) * 2)
        return false;
    QByteArray utf16(int(byteCount), Qt::Uninitialized);
    if (in.readRawData(utf16.data(), int(byteCount)) != int(byteCount))
        return false;
    for (int i = 0; i < expected.size(); ++i) {
        const char16_t unit = char16_t(quint8(utf16[2 * i]) << 8 | quint8(utf16[2 * i + 1]));
        if (unit != expected.at(i).unicode())
            return false;
    }
    return true;
}

} // namespace

QString LightingFile::loadFailureText(Status status)
{
    switch (status) {
    case Status::Ok:
        break;
    case Status::CannotOpen:
    case Status::WrongHeader:
        return QCoreApplication::translate("Vt410_bootloader", "Wrong file header");
    case Status::WrongVersion:
        return QCoreApplication::translate("Vt410_bootloader", "Wrong version");
    case Status::WrongSize:
    case Status::WriteFailed: // not a result of reading
        return QCoreApplication::translate("Vt410_bootloader", "Wrong file size");
    }
    return QString();
}

QString LightingFile::header(Kind kind)
{
    return kind == Kind::Programs ? QStringLiteral("Vt410 Programs File") : QStringLiteral("Vt410 Scenes File");
}

QString LightingFile::version()
{
    return QStringLiteral("Version 01");
}

int LightingFile::tableSize(Kind kind)
{
    return kind == Kind::Programs ? ProgramsTableSize : ScenesTableSize;
}

LightingFile::ReadResult LightingFile::read(QIODevice &device, Kind kind)
{
    QDataStream in(&device);
    in.setVersion(StreamVersion);

    ReadResult result;
    if (!readExactText(in, header(kind))) {
        result.status = Status::WrongHeader;
        return result;
    }
    if (!readExactText(in, version())) {
        result.status = Status::WrongVersion;
        return result;
    }

    // The payload: a byte count (0xFFFFFFFF for a null array) and the bytes.
    // Only the table's share is read; the rest of the payload must still be in
    // the file, or the file was cut off and is refused as a whole.
    const int size = tableSize(kind);
    quint32 payloadCount = 0;
    in >> payloadCount;
    result.status = Status::WrongSize;
    if (in.status() != QDataStream::Ok || payloadCount == 0xFFFFFFFFu || payloadCount < quint32(size))
        return result;
    QByteArray table(size, Qt::Uninitialized);
    if (in.readRawData(table.data(), size) != size)
        return result;
    const qint64 rest = qint64(payloadCount) - size;
    if (rest > 0 && in.skipRawData(int(qMin<qint64>(rest, INT_MAX))) != qMin<qint64>(rest, INT_MAX))
        return result;

    result.status = Status::Ok;
    result.table = table;
    return result;
}

LightingFile::ReadResult LightingFile::load(const QString &fileName, Kind kind)
{
    QFile file;
    QString reason;
    if (!NativeFile::open(file, fileName, QIODevice::ReadOnly, &reason))
        return ReadResult{Status::CannotOpen, {}, reason};
    return read(file, kind);
}

bool LightingFile::write(QIODevice &device, Kind kind, const QByteArray &table)
{
    if (table.size() != tableSize(kind))
        return false;
    QDataStream out(&device);
    out.setVersion(StreamVersion);
    out << header(kind) << version() << table;
    return out.status() == QDataStream::Ok;
}

LightingFile::Status LightingFile::save(const QString &fileName, Kind kind, const QByteArray &table,
                                        QString *errorString)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !write(buffer, kind, table)) {
        if (errorString)
            *errorString = QStringLiteral("the table is not %1 bytes").arg(tableSize(kind));
        return Status::WriteFailed;
    }
    return CompleteFileWriter::write(fileName, bytes, errorString) ? Status::Ok : Status::WriteFailed;
}
