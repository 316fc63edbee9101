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
//   -7 unsupported record type or bad extended linear address,
//   -8 the file cannot be opened,
//   -9 the file, read to its end without a failure, holds no data byte
//      inside the window.
// Lines are read 63 bytes at a time, so records longer than that fail.
// Checksums are not checked.
int HexToBin(const QString &fileName, unsigned char *buffer, quint32 firstAddress, quint32 lastAddress);

constexpr int HexFileNotOpened = -8;
constexpr int HexFileWithoutData = -9;

// True for the results after which nothing may be made from the file: it
// could not be opened, or it gave no data for the window.
bool isHexFileRefused(int result);

// The reason behind a HexToBin failure, in the user's language; empty for 0.
QString hexToBinErrorText(int result);
