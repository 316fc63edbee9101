#pragma once

#include "firmware/FirmwareChange.h"
#include "firmware/UpgradeFile.h"
#include "usb/Failure.h"

#include <QString>

// The one place where failures and firmware-change outcomes become words:
// the sentence for the user (translated, in the context it has always had
// in the catalogues) and the stable machine word that `vt520ctl --json`
// gives in its result fields. The window, vt520ctl and the JSON documents
// all take their words from here, so that one condition is never worded
// two ways.
namespace FailureText {

// What the user is told about a failure of this kind; empty for None.
QString sentence(Failure::Kind kind);
// The machine word of a failure kind: "no-device", "access-denied", "busy", ...
QString word(Failure::Kind kind);

// The last line of a firmware change that ended so, of the unit with this
// production serial at this port; startRequestFailed words a unit found in
// its bootloader after the request to start its firmware failed.
QString verdict(FirmwareChange::Outcome outcome, const QString &serial = QString(), const QString &port = QString(),
                bool startRequestFailed = false);
// The result word of `upgrade --json`: "ok", "failed", "not-back",
// "in-bootloader" or "interrupted".
QString resultWord(FirmwareChange::Outcome outcome);
// The result column of the table that a gang upgrade prints: "OK", "failed",
// "not back" or "in bootloader".
QString summaryWord(FirmwareChange::Outcome outcome);

// The file-refused family: why a file was not taken, worded from the status
// of the module that read it.

// Why an upgrade file was refused, as the firmware change shows it; empty
// for Ok. A damaged or empty application region is named together with the
// file. A file that cannot be opened gets the words of a wrong header, as the
// window has always shown it (an empty stream has no header).
QString upgradeFileRefusal(UpgradeFile::Status status, const QString &fileName = QString());
// The same as one line that names the file, for a reader without the log
// line of the file name before it.
QString upgradeFileRefusalLine(UpgradeFile::Status status, const QString &fileName);
// The reason behind a HEX reader's result code (HexToBin.h); empty for 0.
// earlierLine names the line that an overlapping record contradicts.
QString hexFileRefusal(int code, int earlierLine = 0);

} // namespace FailureText
