#include "usb/NativeFileName.h"

namespace NativeFileName {

namespace {

constexpr char16_t KeptByteBase = 0xDC00; // + the byte, 0x80..0xFF

bool isKeptByte(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    // A low surrogate after a high one is half of a pair, not a kept byte.
    return c.unicode() >= KeptByteBase + 0x80 && c.unicode() <= KeptByteBase + 0xFF
           && (i == 0 || !text[i - 1].isHighSurrogate());
}

// The length of the well-formed UTF-8 sequence at bytes[i], or 0. Overlong
// forms, surrogates and code points past U+10FFFF are not well formed.
int sequenceLength(const QByteArray &bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return k < bytes.size() ? quint8(bytes[k]) : 0; };
    const quint8 lead = at(i);
    const auto continuation = [&](qsizetype k, quint8 low = 0x80, quint8 high = 0xBF) {
        return at(k) >= low && at(k) <= high;
    };
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(i + 1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const quint8 low = lead == 0xE0 ? 0xA0 : 0x80;
        const quint8 high = lead == 0xED ? 0x9F : 0xBF;
        return continuation(i + 1, low, high) && continuation(i + 2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const quint8 low = lead == 0xF0 ? 0x90 : 0x80;
        const quint8 high = lead == 0xF4 ? 0x8F : 0xBF;
        return continuation(i + 1, low, high) && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
    }
    return 0;
}

} // namespace

QString fromBytes(const QByteArray &bytes)
{
    QString name;
    qsizetype start = 0; // of the well-formed run not yet decoded
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int length = sequenceLength(bytes, i);
        if (length > 0) {
            i += length;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + start, i - start);
        name += QChar(char16_t(KeptByteBase + quint8(bytes[i])));
        start = ++i;
    }
    return name + QString::fromUtf8(bytes.constData() + start, bytes.size() - start);
}

QByteArray toBytes(const QString &name)
{
    QByteArray bytes;
    qsizetype start = 0; // of the run that is plain text
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isKeptByte(name, i))
            continue;
        bytes += QStringView(name).mid(start, i - start).toUtf8();
        bytes += char(name[i].unicode() - KeptByteBase);
        start = i + 1;
    }
    return bytes + QStringView(name).mid(start).toUtf8();
}

bool keepsBytes(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isKeptByte(name, i))
            return true;
    }
    return false;
}

QString shown(const QString &text)
{
    if (!keepsBytes(text))
        return text;
    QString readable;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isKeptByte(text, i))
            readable += QStringLiteral("\\x") + QString::number(text[i].unicode() - KeptByteBase, 16).toUpper();
        else
            readable += text[i];
    }
    return readable;
}

} // namespace NativeFileName
