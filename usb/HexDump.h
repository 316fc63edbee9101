#pragma once

#include <QByteArray>

// The text form in which bytes are shown in the log pane: a header line with
// the data's host address, then rows of 16 bytes, each with its offset, the
// hexadecimal values and the printable characters (0x20..0x7F as themselves,
// anything else as "."). No trailing newline; a length of 0 (or less) gives
// the header only. Show it by converting it to a QString as Latin-1.
QByteArray HexDump(const unsigned char *data, int length);
QByteArray HexDump(const QByteArray &bytes);
