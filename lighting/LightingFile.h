#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Programs files (.pgm) and scenes files (.scn). A file is three QDataStream
// items: the header text of its kind, the version text "Version 01" and the
// plain table as a byte array (records little-endian inside the big-endian
// stream). A programs file is 7750 bytes, a scenes file 450.
class LightingFile
{
public:
    enum class Kind { Programs, Scenes };

    enum class Status {
        Ok,
        CannotOpen,   // the file is missing or may not be read; ReadResult::reason says why
        WrongHeader,  // first text is not this kind's header; also an empty file
        WrongVersion, // second text is not exactly "Version 01"
        WrongSize,    // the table payload is shorter than the table, or cut off by the file's end
        WriteFailed,  // the file could not be created or not be written completely
    };

    struct ReadResult {
        Status status = Status::WrongHeader;
        QByteArray table; // exactly tableSize(kind) bytes when status is Ok, empty otherwise
        QString reason;   // the system's reason when status is CannotOpen
    };

    // Why a loaded file was refused, as the window's box says it ("Wrong
    // file header", ...), in the user's language; empty for Ok. A file that
    // cannot be opened is "Wrong file header" there, as an empty one.
    static QString loadFailureText(Status status);

    static QString header(Kind kind);
    static QString version();
    static int tableSize(Kind kind);

    // Parses and checks the whole file before anything is handed back, so a
    // caller can copy the table only when the status is Ok. Never reads past
    // the payload; bytes of the payload beyond the table are ignored.
    static ReadResult read(QIODevice &device, Kind kind);
    static ReadResult load(const QString &fileName, Kind kind);

    // Writes the three items; false when the device did not take every byte.
    // table must hold tableSize(kind) bytes.
    static bool write(QIODevice &device, Kind kind, const QByteArray &table);
    // Writes through CompleteFileWriter: an existing file is replaced only once the
    // new one is complete, and stays as it was when anything fails. On
    // WriteFailed, errorString (if given) receives the reason.
    static Status save(const QString &fileName, Kind kind, const QByteArray &table, QString *errorString = nullptr);
};
