#include "ctl/VisibleText.h"

namespace VisibleText {

namespace {

bool isControl(char16_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

// Each control character that `escape` says must be shown written as
// prefix and its two hexadecimal digits.
template <typename Escape>
QString escaped(const QString &text, const QString &prefix, Escape escape)
{
    QString shown;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (isControl(code) && escape(code))
            shown += prefix + QStringLiteral("%1").arg(int(code), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

} // namespace

QString ofText(const QString &text)
{
    return escaped(text, QStringLiteral("\\x"), [](char16_t c) { return c != u'\n' && c != u'\t'; });
}

QString ofJson(const QString &json)
{
    // The line ends and indentation of the document itself stay.
    return escaped(json, QStringLiteral("\\u00"), [](char16_t c) { return c >= 0x20; });
}

} // namespace VisibleText
