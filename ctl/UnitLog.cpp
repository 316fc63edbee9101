#include "ctl/UnitLog.h"

#include "ctl/JsonReport.h"
#include "usb/NativeFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace {

// The production serial: the bootloader's form ends in 'b'.
QByteArray productionSerial(const QByteArray &serial)
{
    return serial.endsWith('b') ? serial.chopped(1) : serial;
}

// A serial or port path as a file name: digits, letters, dots and dashes.
QString safeName(QString name)
{
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            c = QLatin1Char('_');
    }
    return name;
}

} // namespace

UnitLog &UnitLog::instance()
{
    static UnitLog log;
    return log;
}

bool UnitLog::open(const QString &logFolder, const QString &commandName, QString *reason)
{
    if (!NativeFile::makeFolder(logFolder) || !NativeFile::entry(logFolder).isFolder) {
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno ? errno : ENOTDIR));
        return false;
    }
    QMutexLocker lock(&mutex);
    folder = logFolder;
    command = commandName;
    return true;
}

void UnitLog::know(const QString &portPath, const QByteArray &serial)
{
    if (serial.isEmpty())
        return;
    QMutexLocker lock(&mutex);
    serials.insert(portPath, productionSerial(serial));
}

QString UnitLog::fileFor(const QString &portPath) const
{
    const QByteArray serial = serials.value(portPath);
    const QString name = serial.isEmpty() ? QStringLiteral("port-") + portPath : QString::fromLatin1(serial);
    return QDir(folder).filePath(safeName(name) + QStringLiteral(".jsonl"));
}

void UnitLog::record(const QString &portPath, const QString &event, const QJsonObject &details)
{
    QMutexLocker lock(&mutex);
    if (folder.isEmpty())
        return;
    QJsonObject line = details;
    line.insert("time", QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    line.insert("event", event);
    line.insert("portPath", portPath);
    const QByteArray serial = serials.value(portPath);
    line.insert("serial", serial.isEmpty() ? QJsonValue() : QJsonValue(QString::fromLatin1(serial)));
    line.insert("command", command);
    line.insert("pid", qint64(QCoreApplication::applicationPid()));
    const QByteArray bytes = QJsonDocument(JsonReport::readable(line)).toJson(QJsonDocument::Compact) + '\n';

    QFile file;
    // Unbuffered, so that the whole line goes in one write: appended lines
    // of two processes never interleave.
    QString reason;
    bool written = NativeFile::open(file, fileFor(portPath),
                                    QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered, &reason);
    if (written && file.write(bytes) != bytes.size()) {
        written = false;
        reason = file.errorString();
    }
    if (!written && firstFailure.isEmpty())
        firstFailure = reason;
}

QString UnitLog::failure() const
{
    QMutexLocker lock(&mutex);
    return firstFailure;
}
