#pragma once

#include "firmware/FirmwareChange.h"
#include "usb/Vt520Enumeration.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

class Console;
struct CtlOptions;

// The one JSON document of `upgrade --json`, given at the end of the run:
// per unit its port path, its serial before and after, the result
// ("ok", "failed", "not-back", "in-bootloader", "interrupted" or "busy"),
// the reason in words and the seconds its change took; beside them the
// exit status and, when that is not 0, the first error.
class UpgradeReport
{
public:
    struct Unit {
        QString portPath;
        QByteArray serialBefore; // empty: not identified (null in the document)
        QByteArray serialAfter;  // empty: not seen after the start
        QString result;
        QString reason;
        qint64 milliseconds = 0;
    };

    explicit UpgradeReport(const QString &fileName);

    static QJsonObject toJson(const Unit &unit);

    void add(const Unit &unit) { units.append(unit); }
    // --expect: how many units were asked for and how many were found.
    void setCount(int expectedUnits, int foundUnits)
    {
        expected = expectedUnits;
        found = foundUnits;
    }
    // A unit that another process holds: touched by no transfer.
    void addBusy(const QString &portPath, const QString &reason);

    // The document onto standard output, the console's errors in it; the
    // console then gives no closing object of its own.
    void give(Console &console, int exitStatus) const;

    // The units an upgrade of fileName goes to, as DeviceChoice picks them;
    // when they are refused because another process holds some, --json
    // gives the document with those units as "busy".
    static int chooseUnits(const CtlOptions &options, Console &console, const QString &fileName,
                           QList<Vt520Enumeration::Entry> *chosen);

private:
    QString fileName;
    QList<Unit> units;
    int expected = 0; // 0: no --expect
    int found = 0;
};
