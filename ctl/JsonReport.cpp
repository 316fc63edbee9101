#include "ctl/JsonReport.h"

#include "ctl/Command.h"
#include "ctl/Console.h"
#include "ctl/CtlOptions.h"
#include "ctl/DeviceChoice.h"
#include "ctl/Interruption.h"
#include "usb/FileDigest.h"
#include "usb/NativeFileName.h"
#include "usb/TransferKeyFingerprint.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QSysInfo>

namespace JsonReport {

namespace {

QDateTime started;

QString isoTime(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QJsonValue textOrNull(const QByteArray &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(QString::fromLatin1(text));
}

// The units a choice refused as not identified, each a failed unit that
// the command's work never began on; none unless the choice was refused so.
// A command that gives units of its own puts them in place of these.
QJsonArray refusedUnits()
{
    QJsonArray units;
    for (const Vt520Enumeration::Entry &device : DeviceChoice::unidentifiedChosen()) {
        QJsonObject object = unit(device);
        object.insert("result", QStringLiteral("failed"));
        object.insert("reason", DeviceChoice::unidentifiedReason(device));
        units.append(object);
    }
    return units;
}

} // namespace

QString now()
{
    return isoTime(QDateTime::currentDateTimeUtc());
}

void noteStart()
{
    started = QDateTime::currentDateTimeUtc();
}

bool takesFile(const CtlOptions &options)
{
    if (!options.command || options.command->arguments.isEmpty())
        return false;
    // Commands whose first argument is the file they read or write.
    const QString first = options.command->arguments.first();
    return first.startsWith(QLatin1String("FILE"));
}

QJsonObject header(const CtlOptions &options)
{
    if (!started.isValid())
        noteStart();
    QJsonObject document{
        {"schemaVersion", SchemaVersion},
        {"command", options.command ? QJsonValue(options.command->name) : QJsonValue()},
        {"version", QStringLiteral(VT520_VERSION)},
        {"keyFingerprint", TransferKeyFingerprint::ofThisBuild()},
        {"host", QSysInfo::machineHostName()},
        {"startedAt", isoTime(started)},
        {"endedAt", QJsonValue()},
        {"units", refusedUnits()},
    };
    if (options.expect > 0) {
        document.insert("expected", options.expect);
        const int found = DeviceChoice::unitsFound();
        document.insert("found", found >= 0 ? QJsonValue(found) : QJsonValue());
    }
    if (takesFile(options))
        addFile(&document, options.arguments.value(0));
    return document;
}

void addFile(QJsonObject *document, const QString &fileName)
{
    const FileDigest digest = FileDigest::of(fileName);
    document->insert("file", fileName.isEmpty() ? QJsonValue() : QJsonValue(fileName));
    document->insert("fileSha256", digest.sha256.isEmpty() ? QJsonValue() : QJsonValue(digest.sha256));
    document->insert("fileSize", digest.valid ? QJsonValue(digest.size) : QJsonValue());
}

QJsonObject unit(const QString &portPath)
{
    return QJsonObject{
        {"portPath", portPath}, {"serial", QJsonValue()}, {"mode", QJsonValue()}, {"bootloaderVersion", QJsonValue()},
        {"result", QString()},  {"reason", QString()},    {"seconds", 0.0},       {"attempts", 0},
    };
}

QJsonObject unit(const Vt520Enumeration::Entry &device)
{
    QJsonObject object = unit(device.portPath);
    object.insert("serial", textOrNull(device.serialString));
    if (device.mode != Vt520Enumeration::Mode::Unknown)
        object.insert("mode", Vt520Enumeration::modeName(device.mode));
    object.insert("bootloaderVersion", textOrNull(device.bootloaderVersion));
    return object;
}

namespace {

QJsonValue readableValue(const QJsonValue &value)
{
    if (value.isString())
        return NativeFileName::shown(value.toString());
    if (value.isObject())
        return readable(value.toObject());
    if (value.isArray()) {
        QJsonArray array;
        for (const QJsonValue &element : value.toArray())
            array.append(readableValue(element));
        return array;
    }
    return value;
}

} // namespace

QJsonObject readable(const QJsonObject &object)
{
    QJsonObject shown;
    for (auto it = object.begin(); it != object.end(); ++it)
        shown.insert(it.key(), readableValue(it.value()));
    return shown;
}

int give(Console &console, QJsonObject document, int exitStatus)
{
    if (Interruption::requested() && exitStatus != Interruption::exitStatus()) {
        console.error(QStringLiteral("%1: stopped after the command's last step").arg(Interruption::signalName()));
        exitStatus = Interruption::exitStatus();
    }
    document.insert("endedAt", now());
    document.insert("exitStatus", exitStatus);
    if (exitStatus != 0) {
        QStringList errors = console.reasons();
        // A command that says a unit's verdict as its result (verify's
        // "differs") has that unit's reason as the run's error.
        const QJsonArray units = document.value(QStringLiteral("units")).toArray();
        for (int i = 0; errors.isEmpty() && i < units.size(); ++i) {
            const QString result = units[i][QStringLiteral("result")].toString();
            if (result != QLatin1String("ok") && result != QLatin1String("identical"))
                errors.append(units[i][QStringLiteral("reason")].toString());
        }
        document.insert("error", errors.isEmpty() ? QString() : errors.first());
        if (errors.size() > 1)
            document.insert("errors", QJsonArray::fromStringList(errors));
    }
    console.documentGiven();
    console.jsonResult(QString::fromUtf8(QJsonDocument(readable(document)).toJson(QJsonDocument::Indented)).trimmed());
    return exitStatus;
}

} // namespace JsonReport
