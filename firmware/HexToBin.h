#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// Reads Intel HEX files into windows of device addresses.
//
// A line holds one record: ':', byte count, 16-bit address, record type, the
// count's data bytes and a checksum, all as hexadecimal digits of either
// case, followed by nothing but white space and the line end (LF or CR LF).
// Records of 0 to 255 data bytes are read. Record types:
//   00 data, 01 end of file (lines after it are not read),
//   02 extended segment address (base = value * 16),
//   03 start segment address (ignored),
//   04 extended linear address (base = value * 65536),
//   05 start linear address (ignored).
// The later of 02 and 04 sets the base; a data byte's address is the base
// plus the record's address plus its place in the record, a plain 32-bit sum.
// Every record's checksum is checked before its data is used.

// Results: 0 for success, or the first failure.
constexpr int HexLineTooShort = -1;  // shorter than the shortest record (11 characters)
constexpr int HexNoColon = -2;       // the line does not begin with ':'
constexpr int HexBadByteCount = -3;  // byte count not hexadecimal
constexpr int HexBadAddress = -4;    // address not hexadecimal
constexpr int HexBadRecordType = -5; // record type not hexadecimal
constexpr int HexBadData = -6;       // a data byte not hexadecimal, or the count runs past the line
// -7 stands for two faults, as the log line has always counted them; each
// has its name here.
constexpr int HexUnsupportedRecord = -7;      // a record type above 05
constexpr int HexBadExtendedAddress = -7;     // the value of an 02 or 04 record not hexadecimal
constexpr int HexFileNotOpened = -8;          // the file cannot be opened
constexpr int HexFileWithoutData = -9;        // read without failure, but no data byte for the window
constexpr int HexChecksumMismatch = -10;      // the checksum does not match the record's bytes
constexpr int HexWrongCountForType = -11;     // 01 not 0 bytes, 02/04 not 2 bytes, 03/05 not 4 bytes
constexpr int HexCharactersAfterRecord = -12; // something other than white space after the checksum
constexpr int HexLineTooLong = -13;           // a line longer than LineLimit bytes
constexpr int HexBadChecksumField = -14;      // the checksum is missing or not hexadecimal
// Not a fault of the records: an upgrade file needs application data, and
// this file has data for the external flash region only (UpgradeImage).
constexpr int HexFileWithoutApplication = -15;

// A data record gives an address that an earlier record gave, with another
// byte (the same bytes again are accepted); earlierLine names that record.
constexpr int HexOverlappingData = -16;

// The lowest result code; every result lies in HexLowestResult..0.
constexpr int HexLowestResult = HexOverlappingData;

// The longest line read, line end included. A record of 255 data bytes takes
// 521 characters; the rest leaves room for trailing white space, while a
// file without line ends cannot fill the memory.
constexpr qint64 HexLineLimit = 1024;

// Where a HEX file's data goes: the bytes for firstAddress..lastAddress
// (both included) land at buffer[address - firstAddress]. The buffer is
// otherwise left as the caller filled it.
struct HexWindow {
    unsigned char *buffer = nullptr;
    quint32 firstAddress = 0;
    quint32 lastAddress = 0;
    qint64 storedBytes = 0; // data bytes placed here by the reader
};

struct HexToBinResult {
    int code = 0;            // 0 or one of the codes above
    int line = 0;            // 1-based line of a refused record; 0 when no line is at fault
    int earlierLine = 0;     // with HexOverlappingData: the line whose data the refused record contradicts
    qint64 outsideBytes = 0; // data bytes that lie in no window
    int records[6] = {};     // records read and accepted, by type 00..05 (an end of file ends the count)
    QString reason;          // with HexFileNotOpened: the system's reason
};

// Reads the file once and places every data byte into each window that holds
// its address. The records before a failure stay placed; nothing of the
// failing record is. Never gives HexFileWithoutData: the caller decides what
// an empty window means.
HexToBinResult readHexWindows(const QString &fileName, QList<HexWindow> &windows);

// One window; HexFileWithoutData when the file, read without failure, has no
// data byte for it.
HexToBinResult readHexWindow(const QString &fileName, unsigned char *buffer, quint32 firstAddress, quint32 lastAddress);

// readHexWindow's result code alone.
int HexToBin(const QString &fileName, unsigned char *buffer, quint32 firstAddress, quint32 lastAddress);

// The words for a failure are FailureText::hexFileRefusal.
