#include "usb/HexDump.h"

#include <cstdint>
#include <cstdio>

namespace {

constexpr int BytesPerRow = 16;

char printable(unsigned char byte)
{
    return (byte >= 0x20 && byte <= 0x7F) ? char(byte) : '.';
}

void appendFormatted(QByteArray &out, const char *format, unsigned long long value)
{
    char text[32];
    const int n = std::snprintf(text, sizeof text, format, value);
    out.append(text, n);
}

// One row of up to 16 bytes at offset; short rows are padded to full width.
void appendRow(QByteArray &out, const unsigned char *row, int count, int offset)
{
    appendFormatted(out, "\n0x%04llx:", static_cast<unsigned long long>(offset));
    for (int i = 0; i < count; ++i)
        appendFormatted(out, " %02llx", row[i]);
    for (int i = count; i < BytesPerRow; ++i)
        out.append("   ");
    out.append(" < ");
    for (int i = 0; i < count; ++i)
        out.append(printable(row[i]));
    for (int i = count; i < BytesPerRow; ++i)
        out.append(' ');
    out.append(" >");
}

} // namespace

QByteArray HexDump(const unsigned char *data, int length)
{
    QByteArray out;
    appendFormatted(out, "\n src address: 0x%08llx",
                    static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data)));
    if (data == nullptr || length <= 0)
        return out;
    out.reserve(out.size() + (length / BytesPerRow + 1) * 80);
    for (int offset = 0; offset < length; offset += BytesPerRow) {
        const int count = (length - offset < BytesPerRow) ? length - offset : BytesPerRow;
        appendRow(out, data + offset, count, offset);
    }
    return out;
}

QByteArray HexDump(const QByteArray &bytes)
{
    return HexDump(reinterpret_cast<const unsigned char *>(bytes.constData()), int(bytes.size()));
}
