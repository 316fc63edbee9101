#include "usb/VersionBlock.h"

#include "usb/UntilZero.h"

#include <algorithm>

namespace VersionBlock {

namespace {

bool isPlainText(const char *text, int size)
{
    const char *end = std::find(text, text + size, '\0');
    if (end == text + size)
        return false;
    return std::all_of(text, end, [](char c) { return c >= 0x20 && c <= 0x7E; });
}

} // namespace

QByteArray version(const QByteArray &block)
{
    return untilZero(block.constData(), int(std::min<qsizetype>(block.size(), Size)));
}

QByteArray date(const QByteArray &block)
{
    if (block.size() <= DateOffset)
        return QByteArray();
    return untilZero(block.constData() + DateOffset, int(std::min<qsizetype>(block.size(), Size)) - DateOffset);
}

bool isPlain(const QByteArray &block)
{
    return block.size() >= Size && isPlainText(block.constData(), FieldSize)
           && isPlainText(block.constData() + DateOffset, FieldSize);
}

} // namespace VersionBlock
