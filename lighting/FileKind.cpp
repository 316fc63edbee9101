#include "lighting/FileKind.h"

#include "lighting/LightingFile.h"

#include <QFile>

namespace {

// A header as QDataStream writes a QString: a big-endian byte count and the
// UTF-16 code units, big-endian.
QByteArray headerItem(const QString &text)
{
    const quint32 count = quint32(text.size()) * 2;
    QByteArray item;
    item.append(char(count >> 24));
    item.append(char(count >> 16));
    item.append(char(count >> 8));
    item.append(char(count));
    for (const QChar c : text) {
        item.append(char(c.unicode() >> 8));
        item.append(char(c.unicode() & 0xFF));
    }
    return item;
}

} // namespace

QString FileKind::upgradeHeader()
{
    return QStringLiteral("Vt520 Upgrade File Header");
}

FileKind::Kind FileKind::of(QIODevice &device)
{
    const struct {
        Kind kind;
        QByteArray header;
    } headers[] = {
        {Kind::Upgrade, headerItem(upgradeHeader())},
        {Kind::Programs, headerItem(LightingFile::header(LightingFile::Kind::Programs))},
        {Kind::Scenes, headerItem(LightingFile::header(LightingFile::Kind::Scenes))},
    };
    qsizetype longest = 0;
    for (const auto &entry : headers)
        longest = qMax(longest, entry.header.size());
    const QByteArray start = device.peek(longest);
    for (const auto &entry : headers) {
        if (start.startsWith(entry.header))
            return entry.kind;
    }
    // A HEX file begins with its first record's colon; anything else is not
    // one, rather than one with a damaged first line.
    if (start.startsWith(':'))
        return Kind::IntelHex;
    return Kind::Unknown;
}

FileKind::Kind FileKind::of(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Kind::Unknown;
    return of(file);
}

QString FileKind::name(Kind kind)
{
    switch (kind) {
    case Kind::Upgrade:
        return QStringLiteral("upgrade");
    case Kind::IntelHex:
        return QStringLiteral("intel-hex");
    case Kind::Programs:
        return QStringLiteral("programs");
    case Kind::Scenes:
        return QStringLiteral("scenes");
    case Kind::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}
