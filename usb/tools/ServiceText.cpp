#include "usb/tools/ServiceText.h"

quint32 ServiceText::parseHex(const QString &text, bool *ok)
{
    bool converted = false;
    // Base 16 already accepts an optional "0x" / "0X" prefix and rejects
    // anything above 32 bits.
    const uint value = text.toUInt(&converted, 16);
    if (ok)
        *ok = converted;
    return converted ? value : 0;
}

QString ServiceText::hexEntry(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}

QString ServiceText::binary32(quint32 value)
{
    return QStringLiteral("%1").arg(value, 32, 2, QLatin1Char('0'));
}

QString ServiceText::lengthLine(quint32 length)
{
    return QStringLiteral("lenght: %1").arg(length, 8);
}

QString ServiceText::addressLine(quint32 address)
{
    return QStringLiteral("address: 0x%1").arg(address, 8, 16);
}
