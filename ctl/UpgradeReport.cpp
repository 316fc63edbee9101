#include "ctl/UpgradeReport.h"

#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "firmware/FailureText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

UpgradeReport::UpgradeReport(const QString &fileName)
    : fileName(fileName)
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
    return QJsonObject{
        {"portPath", unit.portPath},
        {"serialBefore", serialValue(unit.serialBefore)},
        {"serialAfter", serialValue(unit.serialAfter)},
        {"result", unit.result},
        {"reason", unit.reason},
        {"seconds", double(unit.milliseconds) / 1000.0},
    };
}

void UpgradeReport::addBusy(const QString &portPath, const QString &reason)
{
    Unit unit;
    unit.portPath = portPath;
    unit.result = FailureText::word(Failure::Kind::Busy);
    unit.reason = reason;
    units.append(unit);
}

void UpgradeReport::give(Console &console, int exitStatus) const
{
    QJsonArray array;
    for (const Unit &unit : units)
        array.append(toJson(unit));
    QJsonObject document{{"file", fileName}, {"units", array}, {"exitStatus", exitStatus}};
    if (expected > 0) {
        document.insert("expected", expected);
        document.insert("found", found);
    }
    if (exitStatus != 0) {
        const QStringList errors = console.errors();
        document.insert("error", errors.isEmpty() ? QString() : errors.first());
        if (errors.size() > 1)
            document.insert("errors", QJsonArray::fromStringList(errors));
    }
    console.documentGiven();
    console.result(QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)).trimmed());
}

int UpgradeReport::chooseUnits(const CtlOptions &options, Console &console, const QString &fileName,
                               QList<Vt520Enumeration::Entry> *chosen)
{
    QList<DeviceChoice::Busy> busy;
    const int refused = DeviceChoice::choose(options, console, chosen, &busy);
    if (refused && options.json && !busy.isEmpty()) {
        UpgradeReport report(fileName);
        report.setCount(options.expect, DeviceChoice::unitsFound());
        for (const DeviceChoice::Busy &unit : std::as_const(busy))
            report.addBusy(unit.portPath, unit.reason);
        report.give(console, refused);
    }
    return refused;
}
