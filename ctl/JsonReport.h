#pragma once

#include "usb/Vt520Enumeration.h"

#include <QJsonObject>
#include <QString>

class Console;
struct CtlOptions;

// The one JSON document that a --json run gives, in the same frame for
// every command: schemaVersion, command, version, keyFingerprint, host,
// startedAt and endedAt (ISO 8601, UTC), for a command on a file the file's
// name, SHA-256 and size, the units with the same keys each, and at the end
// exitStatus, with error (and errors) after a failure. A run refused before
// any device work gives its command's document with no units. The keys are
// those that README and the manual page list.
namespace JsonReport {

// Raised when a key changes meaning or goes away; new keys leave it.
constexpr int SchemaVersion = 1;

// The moment the run began; main() notes it before the command runs.
void noteStart();

// The present time as the documents give it: ISO 8601, UTC, milliseconds.
QString now();

// The frame's first keys, for the command the options name (null for a
// command line that names none), with the file of a command on a file.
QJsonObject header(const CtlOptions &options);

// file, fileSha256 and fileSize (null when the file cannot be read).
void addFile(QJsonObject *document, const QString &fileName);

// A unit's keys, each present: portPath, serial, mode, bootloaderVersion
// as the unit was found (null where not known), result (empty until the
// command sets it), reason, seconds and attempts (0: not worked on).
QJsonObject unit(const Vt520Enumeration::Entry &device);
QJsonObject unit(const QString &portPath);

// Whether the command works on a file named by its first argument.
bool takesFile(const CtlOptions &options);

// The object with every text in it as a person reads it: a file name's
// bytes that are not UTF-8 as \xHH (NativeFileName::shown), also where a
// reason names the file.
QJsonObject readable(const QJsonObject &object);

// Ends the document (endedAt, exitStatus, the console's errors after a
// failure) and puts it on standard output as the run's one document. A
// signal that came after the command's last safe point still ends the run
// with the signal's status, in the document too. Returns the exit status.
int give(Console &console, QJsonObject document, int exitStatus);

} // namespace JsonReport
