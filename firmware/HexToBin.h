#pragma once

#include <QString>
#include <QtGlobal>

// Reads an Intel HEX file into a window of device addresses.
//
// Data bytes whose address lies in firstAddress..lastAddress (both included)
// go to buffer[address - firstAddress]; every other byte is dropped, and the
// buffer is otherwise left as the caller filled it. Returns 0 when the end
// record or the end of the file is reached, or the first failure:
//   -1 line shorter than 11 bytes (line end counted), -2 no leading ':',
//   -3 byte count, -4 address, -5 record type not hexadecimal,
//   -6 data byte not hexadecimal or missing,
//   -7 unsupported record type or bad extended linear address.
// Lines are read 63 bytes at a time, so records longer than that fail.
// Checksums are not checked. A file that cannot be opened reads as empty.
int HexToBin(const QString &fileName, unsigned char *buffer, quint32 firstAddress, quint32 lastAddress);
