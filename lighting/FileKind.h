#pragma once

#include <QString>

class QIODevice;

// Which of the files of the Vt520 tools a file is, told by its first bytes
// and never by its name: the header text that opens an upgrade, programs or
// scenes file (a QDataStream string), or the colon of an Intel HEX file's
// first record. Only the beginning is looked at; whether the rest of the file
// holds up is for the kind's own reader to say. The window's drops and
// command-line files and `vt520ctl info` all ask here, so they never disagree.
class FileKind
{
public:
    enum class Kind { Unknown, Upgrade, IntelHex, Programs, Scenes };

    // Looks at the device's first bytes without consuming them.
    static Kind of(QIODevice &device);
    // Unknown also for a file that cannot be opened.
    static Kind of(const QString &fileName);

    // The kind as `vt520ctl info` names it: "upgrade", "intel-hex",
    // "programs", "scenes", "unknown".
    static QString name(Kind kind);

    // The header text an upgrade file opens with.
    static QString upgradeHeader();
};
