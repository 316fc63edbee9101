#pragma once

#include <QString>

// What the firmware commands say about a HEX file that HexToBin failed on,
// in the user's language: the window's log lines and boxes and the command
// line's errors alike.

// "HexToBin error: <result>)": a defect in the file's records.
QString hexToBinErrorLine(int result);

// "Nothing was made from the file <name>." and the reason: a file that is
// refused as a whole (isHexFileRefused).
QString refusedHexFileText(const QString &fileName, int result);
