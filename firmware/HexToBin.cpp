#include "firmware/HexToBin.h"

#include "usb/NativeFile.h"

#include <QFile>

#include <algorithm>
#include <iterator>
#include <map>

namespace {

// ':' and the nine characters of count, address and type, and two checksum
// digits: the shortest record, an end record.
constexpr qint64 ShortestRecord = 11;
constexpr qint64 DataStart = 9;
constexpr int MaximumCount = 255;

enum RecordType : quint32 {
    DataRecord = 0x00,
    EndOfFileRecord = 0x01,
    ExtendedSegmentAddressRecord = 0x02,
    StartSegmentAddressRecord = 0x03,
    ExtendedLinearAddressRecord = 0x04,
    StartLinearAddressRecord = 0x05,
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Parses `digits` hexadecimal characters starting at `first`. Characters past
// the `length` bytes that the line holds do not exist and fail the field.
bool parseHex(const char *line, qint64 length, qint64 first, int digits, quint32 *value)
{
    if (first + digits > length)
        return false;
    quint32 result = 0;
    for (int i = 0; i < digits; ++i) {
        const int digit = hexDigit(line[first + i]);
        if (digit < 0)
            return false;
        result = result * 16 + quint32(digit);
    }
    *value = result;
    return true;
}

// The byte count that each record type other than data must have.
int countForType(quint32 type)
{
    switch (type) {
    case EndOfFileRecord:
        return 0;
    case ExtendedSegmentAddressRecord:
    case ExtendedLinearAddressRecord:
        return 2;
    case StartSegmentAddressRecord:
    case StartLinearAddressRecord:
        return 4;
    default:
        return -1;
    }
}

struct Record {
    quint32 count = 0;
    quint32 address = 0;
    quint32 type = 0;
    unsigned char data[MaximumCount] = {};
};

// Parses and checks one line: the fields, the checksum and what follows it.
// Returns 0 or the failure's code.
int parseRecord(const char *line, qint64 length, Record *record)
{
    qint64 contentLength = length;
    while (contentLength > 0 && (line[contentLength - 1] == '\n' || line[contentLength - 1] == '\r'))
        --contentLength;
    if (contentLength < ShortestRecord)
        return HexLineTooShort;
    if (line[0] != ':')
        return HexNoColon;
    if (!parseHex(line, contentLength, 1, 2, &record->count))
        return HexBadByteCount;
    if (!parseHex(line, contentLength, 3, 4, &record->address))
        return HexBadAddress;
    if (!parseHex(line, contentLength, 7, 2, &record->type))
        return HexBadRecordType;
    if (record->type > StartLinearAddressRecord)
        return HexUnsupportedRecord;
    if (record->type != DataRecord && int(record->count) != countForType(record->type))
        return HexWrongCountForType;

    const bool extendedAddress =
        record->type == ExtendedSegmentAddressRecord || record->type == ExtendedLinearAddressRecord;
    quint8 sum = quint8(record->count + (record->address >> 8) + record->address + record->type);
    for (quint32 i = 0; i < record->count; ++i) {
        quint32 byte = 0;
        if (!parseHex(line, contentLength, DataStart + 2 * qint64(i), 2, &byte))
            return extendedAddress ? HexBadExtendedAddress : HexBadData;
        record->data[i] = static_cast<unsigned char>(byte);
        sum = quint8(sum + byte);
    }

    const qint64 checksumStart = DataStart + 2 * qint64(record->count);
    quint32 checksum = 0;
    if (!parseHex(line, contentLength, checksumStart, 2, &checksum))
        return HexBadChecksumField;
    // The checksum makes the sum of all bytes of the record 0 modulo 256.
    if (quint8(sum + checksum) != 0)
        return HexChecksumMismatch;
    for (qint64 at = checksumStart + 2; at < length; ++at) {
        if (!isWhiteSpace(line[at]))
            return HexCharactersAfterRecord;
    }
    return 0;
}

// The data bytes read so far, by address, with the line that gave each, so
// that a record that gives an address again with another byte is refused
// as peer tools refuse it, whether the address lies in a window or not.
class GivenData
{
public:
    // The line of earlier data that these bytes contradict, or 0; marks in
    // covered[] the bytes that earlier data gave already.
    int conflictWith(quint32 start, const unsigned char *bytes, quint32 count, bool *covered) const
    {
        std::fill(covered, covered + count, false);
        const quint64 end = quint64(start) + count;
        // No earlier record is longer than the longest record.
        auto span = spans.lower_bound(start >= quint32(MaximumCount) ? start - quint32(MaximumCount) : 0);
        for (; span != spans.end() && span->first < end; ++span) {
            const quint64 from = std::max<quint64>(span->first, start);
            const quint64 to = std::min<quint64>(span->second.end, end);
            for (quint64 at = from; at < to; ++at) {
                if (static_cast<unsigned char>(given.at(span->second.offset + qsizetype(at - span->first)))
                    != bytes[at - start])
                    return span->second.line;
                covered[at - start] = true;
            }
        }
        return 0;
    }

    void add(quint32 start, const unsigned char *bytes, quint32 count, int line)
    {
        if (count == 0)
            return;
        spans.insert({start, {quint64(start) + count, line, given.size()}});
        given.append(reinterpret_cast<const char *>(bytes), qsizetype(count));
    }

private:
    struct Span {
        quint64 end;
        int line;
        qsizetype offset; // of its bytes in `given`
    };
    std::multimap<quint32, Span> spans;
    QByteArray given;
};

// Places the record's bytes into every window that holds their addresses;
// returns how many of them lie in none. Bytes that earlier records gave
// (the same again) are counted once.
qint64 placeData(const Record &record, quint32 base, QList<HexWindow> &windows, const bool *covered)
{
    qint64 outside = 0;
    for (quint32 i = 0; i < record.count; ++i) {
        if (covered[i])
            continue;
        // A plain 32-bit sum: a record may run past a 64 KiB boundary.
        const quint32 target = base + record.address + i;
        bool placed = false;
        for (HexWindow &window : windows) {
            if (target >= window.firstAddress && target <= window.lastAddress) {
                window.buffer[target - window.firstAddress] = record.data[i];
                ++window.storedBytes;
                placed = true;
            }
        }
        if (!placed)
            ++outside;
    }
    return outside;
}

} // namespace

HexToBinResult readHexWindows(const QString &fileName, QList<HexWindow> &windows)
{
    HexToBinResult result;
    QFile file;
    if (!NativeFile::open(file, fileName, QIODevice::ReadOnly, &result.reason)) {
        result.code = HexFileNotOpened;
        return result;
    }

    quint32 base = 0;
    GivenData given;
    bool covered[MaximumCount];
    // One byte more than the limit is read, so a longer line shows as such.
    char line[HexLineLimit + 2];
    Record record;
    for (int lineNumber = 1;; ++lineNumber) {
        const qint64 length = file.readLine(line, sizeof line);
        if (length <= 0)
            return result;
        if (length > HexLineLimit) {
            result.code = HexLineTooLong;
            result.line = lineNumber;
            return result;
        }
        const int code = parseRecord(line, length, &record);
        if (code != 0) {
            result.code = code;
            result.line = lineNumber;
            return result;
        }

        if (record.type < std::size(result.records))
            ++result.records[record.type];
        const quint32 value = record.count >= 2 ? (quint32(record.data[0]) << 8) | record.data[1] : 0;
        switch (record.type) {
        case DataRecord:
            if (const int earlier = given.conflictWith(base + record.address, record.data, record.count, covered)) {
                result.code = HexOverlappingData;
                result.line = lineNumber;
                result.earlierLine = earlier;
                return result;
            }
            given.add(base + record.address, record.data, record.count, lineNumber);
            result.outsideBytes += placeData(record, base, windows, covered);
            break;
        case EndOfFileRecord:
            return result;
        case ExtendedSegmentAddressRecord:
            base = value << 4;
            break;
        case ExtendedLinearAddressRecord:
            base = value << 16;
            break;
        default: // start addresses are of no use to an image
            break;
        }
    }
}

HexToBinResult readHexWindow(const QString &fileName, unsigned char *buffer, quint32 firstAddress, quint32 lastAddress)
{
    QList<HexWindow> windows{{buffer, firstAddress, lastAddress, 0}};
    HexToBinResult result = readHexWindows(fileName, windows);
    // An image made from a file without a byte for the window would hold
    // nothing of it: the caller must not take it for a successful read.
    if (result.code == 0 && windows.first().storedBytes == 0)
        result.code = HexFileWithoutData;
    return result;
}

int HexToBin(const QString &fileName, unsigned char *buffer, quint32 firstAddress, quint32 lastAddress)
{
    return readHexWindow(fileName, buffer, firstAddress, lastAddress).code;
}
