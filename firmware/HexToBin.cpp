#include "firmware/HexToBin.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// The longest line piece read at once: 63 bytes plus the terminating zero.
constexpr qint64 LineBufferSize = 64;
constexpr qint64 ShortestRecord = 11;

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

enum RecordType : quint32 {
    DataRecord = 0x00,
    EndOfFileRecord = 0x01,
    ExtendedLinearAddressRecord = 0x04,
    StartLinearAddressRecord = 0x05,
};

} // namespace

int HexToBin(const QString &fileName, unsigned char *buffer, quint32 firstAddress, quint32 lastAddress)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return HexFileNotOpened;

    // An image made from a file without a byte for the window would hold
    // nothing of it: the caller must not take it for a successful read.
    bool storedData = false;
    quint32 upperAddress = 0;
    char line[LineBufferSize];
    for (;;) {
        const qint64 length = file.readLine(line, LineBufferSize);
        if (length <= 0)
            return storedData ? 0 : HexFileWithoutData;
        if (length < ShortestRecord)
            return -1;
        if (line[0] != ':')
            return -2;

        quint32 count = 0;
        quint32 address = 0;
        quint32 type = 0;
        if (!parseHex(line, length, 1, 2, &count))
            return -3;
        if (!parseHex(line, length, 3, 4, &address))
            return -4;
        if (!parseHex(line, length, 7, 2, &type))
            return -5;

        switch (type) {
        case DataRecord:
            for (quint32 i = 0; i < count; ++i) {
                quint32 byte = 0;
                if (!parseHex(line, length, 9 + 2 * qint64(i), 2, &byte))
                    return -6;
                // A plain 32-bit sum: a record may run past a 64 KiB boundary.
                const quint32 target = upperAddress + address + i;
                if (target >= firstAddress && target <= lastAddress) {
                    buffer[target - firstAddress] = static_cast<unsigned char>(byte);
                    storedData = true;
                }
            }
            break;
        case EndOfFileRecord:
            return storedData ? 0 : HexFileWithoutData;
        case ExtendedLinearAddressRecord: {
            quint32 upper = 0;
            if (!parseHex(line, length, 9, 4, &upper))
                return -7;
            upperAddress = upper << 16;
            break;
        }
        case StartLinearAddressRecord:
            break;
        default:
            return -7;
        }
    }
}

bool isHexFileRefused(int result)
{
    return result == HexFileNotOpened || result == HexFileWithoutData;
}

QString hexToBinErrorText(int result)
{
    switch (result) {
    case 0:
        return QString();
    case -1:
        return QCoreApplication::translate("HexToBin", "A line is shorter than a record.");
    case -2:
        return QCoreApplication::translate("HexToBin", "A line does not begin with ':'.");
    case -3:
        return QCoreApplication::translate("HexToBin", "A byte count is not hexadecimal.");
    case -4:
        return QCoreApplication::translate("HexToBin", "An address is not hexadecimal.");
    case -5:
        return QCoreApplication::translate("HexToBin", "A record type is not hexadecimal.");
    case -6:
        return QCoreApplication::translate("HexToBin", "A data byte is not hexadecimal or is missing.");
    case -7:
        return QCoreApplication::translate("HexToBin",
                                           "A record type is not supported or an extended address is not hexadecimal.");
    case HexFileNotOpened:
        return QCoreApplication::translate("HexToBin", "The file cannot be opened.");
    case HexFileWithoutData:
        return QCoreApplication::translate("HexToBin", "The file holds no data for the device's address range.");
    default:
        return QCoreApplication::translate("HexToBin", "Unknown error %1.").arg(result);
    }
}
