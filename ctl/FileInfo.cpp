#include "ctl/FileInfo.h"

#include "ctl/InputFile.h"
#include "firmware/FailureText.h"
#include "firmware/HexToBin.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "lighting/FileKind.h"
#include "lighting/LightingFile.h"
#include "usb/NativeFile.h"
#include "usb/Scrambling.h"

#include <QFile>
#include <QJsonArray>
#include <QtEndian>

#include <array>

namespace {

const char *const RecordNames[6] = {"data",
                                    "end of file",
                                    "extended segment address",
                                    "start segment address",
                                    "extended linear address",
                                    "start linear address"};
const char *const RecordKeys[6] = {"data",
                                   "endOfFile",
                                   "extendedSegmentAddress",
                                   "startSegmentAddress",
                                   "extendedLinearAddress",
                                   "startLinearAddress"};

QString hex32(quint32 value)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

struct RegionPlace {
    const char *name;
    int offset;
    int size;
};
const std::array<RegionPlace, 2> RegionPlaces{{
    {"application", UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize},
    {"external flash", UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize},
}};

FileInfo::Region regionAt(const RegionPlace &place)
{
    FileInfo::Region region;
    region.name = QLatin1String(place.name);
    region.start = UpgradeImage::BaseAddress + quint32(place.offset);
    region.end = region.start + quint32(place.size) - 1;
    return region;
}

// A plain image's region: data where a byte is not zero (the fill of an
// image made from a HEX file), the sum word left out.
FileInfo::Region imageRegion(const QByteArray &plain, const RegionPlace &place)
{
    FileInfo::Region region = regionAt(place);
    const auto *bytes = reinterpret_cast<const unsigned char *>(plain.constData()) + place.offset;
    for (int i = 0; i < place.size - 4; ++i) {
        if (bytes[i] == 0)
            continue;
        if (!region.hasData)
            region.dataStart = region.start + quint32(i);
        region.hasData = true;
        region.dataEnd = region.start + quint32(i);
    }
    region.sum = UpgradeImage::regionSum(bytes, place.size);
    region.sumStored = true;
    region.storedSum = qFromLittleEndian<quint32>(bytes + place.size - 4);
    return region;
}

void examineUpgrade(FileInfo *info, const UpgradeFile::Contents &contents)
{
    if (contents.status != UpgradeFile::Status::Ok)
        info->problem = FailureText::upgradeFileRefusalLine(contents.status, info->fileName);
    if (contents.scrambledImage.size() != UpgradeImage::Size)
        return;
    QByteArray plain = contents.scrambledImage;
    DecodeBuffer(plain);
    for (const RegionPlace &place : RegionPlaces)
        info->regions.append(imageRegion(plain, place));
}

// The core's reader twice, into windows filled with 00 and with FF: a byte
// that a record gave reads the same in both, any other differs.
void examineHex(FileInfo *info)
{
    std::array<QByteArray, 2> zero, ones;
    QList<HexWindow> zeroWindows, oneWindows;
    for (size_t i = 0; i < RegionPlaces.size(); ++i) {
        zero[i] = QByteArray(RegionPlaces[i].size, '\0');
        ones[i] = QByteArray(RegionPlaces[i].size, '\xFF');
        const quint32 first = UpgradeImage::BaseAddress + quint32(RegionPlaces[i].offset);
        const quint32 last = first + quint32(RegionPlaces[i].size) - 1;
        zeroWindows.append({reinterpret_cast<unsigned char *>(zero[i].data()), first, last});
        oneWindows.append({reinterpret_cast<unsigned char *>(ones[i].data()), first, last});
    }
    const HexToBinResult read = readHexWindows(info->fileName, zeroWindows);
    info->hasRecords = true;
    std::copy(std::begin(read.records), std::end(read.records), std::begin(info->records));
    info->outsideBytes = read.outsideBytes;
    if (read.code != 0) {
        info->problem = QStringLiteral("%1: line %2: %3")
                            .arg(info->fileName)
                            .arg(read.line)
                            .arg(FailureText::hexFileRefusal(read.code, read.earlierLine));
        return;
    }
    readHexWindows(info->fileName, oneWindows);
    for (size_t i = 0; i < RegionPlaces.size(); ++i) {
        FileInfo::Region region = regionAt(RegionPlaces[i]);
        const int size = RegionPlaces[i].size;
        const auto given = [&](int at) { return zero[i].at(at) == ones[i].at(at); };
        for (int at = 0; at < size; ++at) {
            if (!given(at))
                continue;
            if (!region.hasData)
                region.dataStart = region.start + quint32(at);
            region.hasData = true;
            region.dataEnd = region.start + quint32(at);
        }
        region.dataBytes = zeroWindows[int(i)].storedBytes;
        const auto *bytes = reinterpret_cast<const unsigned char *>(zero[i].constData());
        region.sum = UpgradeImage::regionSum(bytes, size);
        region.sumStored = given(size - 4) && given(size - 3) && given(size - 2) && given(size - 1);
        if (region.sumStored)
            region.storedSum = qFromLittleEndian<quint32>(bytes + size - 4);
        info->regions.append(region);
    }
    if (!info->regions.first().hasData)
        info->problem =
            QStringLiteral("%1: %2").arg(info->fileName, FailureText::hexFileRefusal(HexFileWithoutApplication));
}

void examineLighting(FileInfo *info, LightingFile::Kind kind)
{
    const LightingFile::ReadResult read = LightingFile::load(info->fileName, kind);
    info->tableSize = LightingFile::tableSize(kind);
    if (read.status != LightingFile::Status::Ok)
        info->problem = QStringLiteral("%1: %2").arg(info->fileName, LightingFile::loadFailureText(read.status));
}

} // namespace

QString FileInfo::kindName(Kind kind)
{
    return FileKind::name(kind);
}

FileInfo FileInfo::of(const QString &fileName)
{
    FileInfo info;
    info.fileName = fileName;
    const NativeFile::Entry file = NativeFile::entry(fileName);
    if (!file.exists) {
        QFile opened;
        QString reason;
        NativeFile::open(opened, fileName, QIODevice::ReadOnly, &reason);
        info.problem = QStringLiteral("cannot read %1: %2").arg(fileName, reason);
        return info;
    }
    if (!file.isFile) {
        info.problem = QStringLiteral("%1: not a regular file").arg(fileName);
        return info;
    }
    info.size = file.size;
    // The largest of the kinds is a HEX file; nothing larger is read.
    if (info.size > InputFile::MaxHexSize) {
        info.problem =
            QStringLiteral("%1: %2 bytes, larger than any file of the Vt520 tools").arg(fileName).arg(info.size);
        return info;
    }
    QFile opened;
    QString reason;
    if (!NativeFile::open(opened, fileName, QIODevice::ReadOnly, &reason)) {
        info.problem = QStringLiteral("cannot read %1: %2").arg(fileName, reason);
        return info;
    }
    // The kind from the file's first bytes, then the kind's own reader.
    info.kind = FileKind::of(opened);
    opened.close();
    switch (info.kind) {
    case Kind::Upgrade:
        examineUpgrade(&info, UpgradeFile::read(fileName));
        break;
    case Kind::Programs:
        examineLighting(&info, LightingFile::Kind::Programs);
        break;
    case Kind::Scenes:
        examineLighting(&info, LightingFile::Kind::Scenes);
        break;
    case Kind::IntelHex:
        examineHex(&info);
        break;
    case Kind::Unknown:
        info.problem = QStringLiteral("%1: not an upgrade, HEX, programs or scenes file").arg(fileName);
        break;
    }
    return info;
}

QStringList FileInfo::lines() const
{
    QStringList lines{QStringLiteral("file: %1").arg(fileName), QStringLiteral("kind: %1").arg(kindName(kind)),
                      QStringLiteral("size: %1 bytes").arg(size)};
    if (tableSize > 0)
        lines.append(QStringLiteral("table: %1 bytes").arg(tableSize));
    if (hasRecords) {
        QStringList counts;
        for (int type = 0; type < 6; ++type)
            counts.append(QStringLiteral("%1 %2").arg(QLatin1String(RecordNames[type])).arg(records[type]));
        lines.append(QStringLiteral("records: ") + counts.join(QStringLiteral(", ")));
        lines.append(QStringLiteral("data outside the regions: %1 bytes").arg(outsideBytes));
    }
    for (const Region &region : regions) {
        QString data = region.hasData ? QStringLiteral("%1..%2").arg(hex32(region.dataStart), hex32(region.dataEnd))
                                      : QStringLiteral("none");
        if (region.dataBytes >= 0)
            data += QStringLiteral(" (%1 bytes)").arg(region.dataBytes);
        const QString sum = region.sumStored
                                ? QStringLiteral("sum %1, stored %2, %3")
                                      .arg(hex32(region.sum), hex32(region.storedSum),
                                           region.holds() ? QStringLiteral("holds") : QStringLiteral("does not hold"))
                                : QStringLiteral("sum %1, none stored").arg(hex32(region.sum));
        lines.append(QStringLiteral("%1: %2..%3, data %4, %5")
                         .arg(region.name, hex32(region.start), hex32(region.end), data, sum));
    }
    lines.append(problem.isEmpty() ? QStringLiteral("usable: yes") : QStringLiteral("usable: no"));
    return lines;
}

QJsonObject FileInfo::toJson() const
{
    QJsonObject object{{"file", fileName}, {"kind", kindName(kind)}, {"size", size}, {"usable", problem.isEmpty()}};
    if (tableSize > 0)
        object.insert("tableSize", tableSize);
    if (hasRecords) {
        QJsonObject counts;
        for (int type = 0; type < 6; ++type)
            counts.insert(QLatin1String(RecordKeys[type]), records[type]);
        object.insert("records", counts);
        object.insert("outsideBytes", outsideBytes);
    }
    if (!regions.isEmpty()) {
        QJsonArray array;
        for (const Region &region : regions) {
            QJsonObject item{{"name", region.name},      {"start", hex32(region.start)},  {"end", hex32(region.end)},
                             {"sum", hex32(region.sum)}, {"sumStored", region.sumStored}, {"holds", region.holds()}};
            if (region.hasData) {
                item.insert("dataStart", hex32(region.dataStart));
                item.insert("dataEnd", hex32(region.dataEnd));
            }
            if (region.dataBytes >= 0)
                item.insert("dataBytes", region.dataBytes);
            if (region.sumStored)
                item.insert("storedSum", hex32(region.storedSum));
            array.append(item);
        }
        object.insert("regions", array);
    }
    return object;
}
