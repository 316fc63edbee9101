#pragma once

#include <QString>
#include <QtGlobal>

struct HexToBinResult;

// What the firmware commands say about a HEX file, in the user's language:
// the window's log lines and boxes and the command line's words alike.

// "HexToBin error: <result>)": the log line of a defect in the file's records.
QString hexToBinErrorLine(int result);

// True when the refusal lies in the file's records (a line is at fault), as
// opposed to a file that cannot be opened or gives no data for the image.
bool isHexRecordDefect(const HexToBinResult &result);

// The whole refusal of a file, for an error box and standard error: for a
// defect in the records the log line first, then "Nothing was made from the
// file <name>." and the reason, after "Line <n>: " when a line is at fault.
QString refusedHexFileText(const QString &fileName, const HexToBinResult &result);

// The line saying how many data bytes of the file lay outside the upgrade
// image's regions and were left out.
QString leftOutBytesLine(qint64 count);
