#include "ctl/UpgradeReport.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "ctl/JsonReport.h"
#include "firmware/FailureText.h"

#include <QJsonArray>
#include <QJsonValue>

UpgradeReport::UpgradeReport(const CtlOptions &options)
    : options(options)
{
}

namespace {

QJsonValue serialValue(const QByteArray &serial)
{
    return serial.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(QString::fromLatin1(serial));
}

} // namespace

QJsonObject UpgradeReport::toJson(const Unit &unit)
{
    QJsonObject object = unit.found.portPath.isEmpty() ? JsonReport::unit(unit.portPath) : JsonReport::unit(unit.found);
    object.insert("portPath", unit.portPath);
    if (!unit.serialBefore.isEmpty())
        object.insert("serial", QString::fromLatin1(unit.serialBefore));
    object.insert("serialBefore", serialValue(unit.serialBefore));
    object.insert("serialAfter", serialValue(unit.serialAfter));
    object.insert("result", unit.result);
    object.insert("reason", unit.reason);
    object.insert("seconds", double(unit.milliseconds) / 1000.0);
    object.insert("attempts", unit.attempts);
    QJsonArray earlier;
    for (const RetriedChange::Attempt &attempt : unit.earlierAttempts)
        earlier.append(QJsonObject{{"result", FailureText::resultWord(attempt.outcome)},
                                   {"reason", attempt.verdict},
                                   {"seconds", double(attempt.milliseconds) / 1000.0}});
    object.insert("earlierAttempts", earlier);
    return object;
}

void UpgradeReport::addBusy(const QString &portPath, const QString &reason)
{
    Unit unit;
    unit.portPath = portPath;
    unit.result = FailureText::word(Failure::Kind::Busy);
    unit.reason = reason;
    unit.attempts = 0;
    units.append(unit);
}

int UpgradeReport::give(Console &console, int exitStatus) const
{
    QJsonArray array;
    for (const Unit &unit : units)
        array.append(toJson(unit));
    QJsonObject document = JsonReport::header(options);
    document.insert("units", array);
    return JsonReport::give(console, document, exitStatus);
}

int UpgradeReport::chooseUnits(const CtlOptions &options, Console &console, QList<Vt520Enumeration::Entry> *chosen)
{
    QList<DeviceChoice::Busy> busy;
    const int refused = DeviceChoice::choose(options, console, chosen, &busy);
    const QList<Vt520Enumeration::Entry> unidentified = DeviceChoice::unidentifiedChosen();
    if (refused && options.json && (!busy.isEmpty() || !unidentified.isEmpty())) {
        UpgradeReport report(options);
        for (const DeviceChoice::Busy &unit : std::as_const(busy))
            report.addBusy(unit.portPath, unit.reason);
        for (const Vt520Enumeration::Entry &device : unidentified) {
            // Refused before its change began: no attempt of it.
            Unit unit;
            unit.found = device;
            unit.portPath = device.portPath;
            unit.result = QStringLiteral("failed");
            unit.reason = DeviceChoice::unidentifiedReason(device);
            unit.attempts = 0;
            report.add(unit);
        }
        report.give(console, refused);
    }
    return refused;
}
