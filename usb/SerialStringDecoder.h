#pragma once

#include <QByteArray>

// Decodes a USB string descriptor as read for the serial string: the UTF-16LE
// code units after the 2-byte header (length, type), within both the `received`
// bytes and the descriptor's own length byte, up to the first zero unit. The
// low byte of each unit is kept. Fewer than 2 bytes received give an empty
// result; `data` is never read at or past `received`.
QByteArray decodeSerialStringDescriptor(const unsigned char *data, int received);
