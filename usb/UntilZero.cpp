#include "usb/UntilZero.h"

#include <algorithm>

QByteArray untilZero(const char *bytes, int size)
{
    const char *end = std::find(bytes, bytes + size, '\0');
    return QByteArray(bytes, int(end - bytes));
}

QByteArray untilZero(const QByteArray &bytes)
{
    return untilZero(bytes.constData(), int(bytes.size()));
}
