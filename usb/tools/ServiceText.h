#pragma once

#include <QString>
#include <QtGlobal>

// Number texts of the service commands: the hexadecimal entries of their
// dialogs and the fixed-width lines they write to the log.
class ServiceText
{
public:
    // Converts a dialog entry as an unsigned 32-bit hexadecimal number; a
    // leading "0x" is accepted. Returns 0 with *ok false when it does not
    // convert.
    static quint32 parseHex(const QString &text, bool *ok);

    // The default text of an address or data dialog: "0x" and lower-case
    // hexadecimal digits without leading zeros.
    static QString hexEntry(quint32 value);

    // 32 binary digits, most significant first, padded with "0".
    static QString binary32(quint32 value);

    // "lenght: " and the length in decimal, right-aligned in 8.
    static QString lengthLine(quint32 length);

    // "address: 0x" and the address in lower-case hex, right-aligned in 8.
    static QString addressLine(quint32 address);
};
