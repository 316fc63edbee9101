#pragma once

#include <QString>

// The line with which the firmware commands report a failed HexToBin read:
// "HexToBin error: <result>)", in the user's language.
QString hexToBinErrorLine(int result);
