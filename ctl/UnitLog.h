#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QMutex>
#include <QString>

// --log-dir: a record of what happened to each unit, one file per unit
// serial (SERIAL.jsonl, the production serial, so that both modes of a unit
// share it), appended one JSON line per event as it happens: chosen,
// locked, the firmware change's steps, the verdict. Every line is written
// with one write() on a file opened for appending, so that it is on its way
// to the disk before the next step, survives a kill of the process, and is
// never rewritten. Units on several threads may record at once.
class UnitLog
{
public:
    static UnitLog &instance();

    // Records go into folder (made when missing) from now on. False, with
    // the system's reason, when the folder cannot be made.
    bool open(const QString &folder, const QString &command, QString *reason);
    bool isOpen() const { return !folder.isEmpty(); }

    // The serial that the unit at portPath answers with: its later records
    // given by port alone go to its file.
    void know(const QString &portPath, const QByteArray &serial);

    // One event of the unit at portPath, with details beside the common
    // keys (time, event, portPath, serial, command, pid).
    void record(const QString &portPath, const QString &event, const QJsonObject &details = {});

    // The reason of the first record that could not be written; empty when
    // every one was.
    QString failure() const;

private:
    UnitLog() = default;
    QString fileFor(const QString &portPath) const;

    mutable QMutex mutex;
    QString folder;
    QString command;
    QHash<QString, QByteArray> serials; // by port path
    QString firstFailure;
};
