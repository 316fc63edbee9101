#pragma once

#include "firmware/FirmwareChange.h"
#include "firmware/RetriedChange.h"
#include "usb/Vt520Enumeration.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

class Console;
struct CtlOptions;

// The one JSON document of `upgrade --json`, given at the end of the run in
// the frame every document has (JsonReport): per unit its port path, serial,
// mode and bootloader version as found, its serial before and after, the
// result ("ok", "failed", "not-back", "in-bootloader", "interrupted" or
// "busy"), the reason in words, the seconds its change took, the attempts
// and the result, reason and seconds of each run before the last; beside them the exit status and, when that is not 0, the first
// error.
class UpgradeReport
{
public:
    struct Unit {
        Vt520Enumeration::Entry found; // the unit as chosen; its port path alone for a busy one
        QString portPath;
        QByteArray serialBefore; // empty: not identified (null in the document)
        QByteArray serialAfter;  // empty: not seen after the start
        QString result;
        QString reason;
        qint64 milliseconds = 0;
        int attempts = 1;
        QList<RetriedChange::Attempt> earlierAttempts; // the runs before the last one (--retries)
    };

    explicit UpgradeReport(const CtlOptions &options);

    static QJsonObject toJson(const Unit &unit);

    void add(const Unit &unit) { units.append(unit); }
    // A unit that another process holds: touched by no transfer.
    void addBusy(const QString &portPath, const QString &reason);

    // The document onto standard output, the console's errors in it; the
    // console then gives no closing object of its own. Returns the exit
    // status (JsonReport::give).
    int give(Console &console, int exitStatus) const;

    // The units an upgrade goes to, as DeviceChoice picks them;
    // when they are refused because another process holds some, --json
    // gives the document with those units as "busy".
    static int chooseUnits(const CtlOptions &options, Console &console, QList<Vt520Enumeration::Entry> *chosen);

private:
    const CtlOptions &options;
    QList<Unit> units;
};
