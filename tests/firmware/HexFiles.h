#pragma once

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

// Helpers for the firmware tests: files with given contents and
// reproducible pseudo-random data.
namespace HexFiles {

inline bool writeFile(const QString &fileName, const QByteArray &contents)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(contents) == contents.size();
}

inline QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

inline QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, '\0');
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

// One Intel HEX record, checksum included, without line end.
inline QByteArray record(int type, quint16 address, const QByteArray &data)
{
    QByteArray body;
    body.append(char(data.size()));
    body.append(char(address >> 8));
    body.append(char(address & 0xFF));
    body.append(char(type));
    body.append(data);
    quint8 sum = 0;
    for (char c : body)
        sum += quint8(c);
    body.append(char(quint8(-sum)));
    return ":" + body.toHex().toUpper();
}

inline QByteArray extendedLinearAddress(quint16 upper)
{
    return record(4, 0, QByteArray::fromHex(QByteArray::number(upper, 16).rightJustified(4, '0')));
}

inline QByteArray endOfFile()
{
    return record(1, 0, QByteArray());
}

// An Intel HEX text for `data` at `address`, in records of `perRecord` bytes.
inline QByteArray hexText(quint32 address, const QByteArray &data, int perRecord = 16)
{
    QByteArray text;
    quint32 upper = 0xFFFFFFFF;
    for (int offset = 0; offset < data.size(); offset += perRecord) {
        const quint32 at = address + quint32(offset);
        if ((at >> 16) != upper) {
            upper = at >> 16;
            text += extendedLinearAddress(quint16(upper)) + "\n";
        }
        text += record(0, quint16(at & 0xFFFF), data.mid(offset, perRecord)) + "\n";
    }
    return text + endOfFile() + "\n";
}

} // namespace HexFiles
