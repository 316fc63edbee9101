#pragma once

#include "lighting/LightingFile.h"
#include "lighting/LightingTransfer.h"
#include "lighting/SceneClip.h"
#include "lighting/SceneRecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <vector>

// One lighting table as the operator edits it: the 8 programs of 20 scenes
// or the 8 stand-alone scenes, with everything that differs between the two
// kinds (record count, file header, place in the device, end markers), the
// file it belongs to, and whether it differs from its clean point (the table
// as last loaded, saved, read from or written to the device).
class LightingDocument : public QObject
{
    Q_OBJECT

public:
    using Kind = LightingFile::Kind;

    explicit LightingDocument(Kind kind, QObject *parent = nullptr);

    Kind kind() const { return documentKind; }
    int recordCount() const { return int(records.size()); }
    // Program scenes carry an end marker; stand-alone scenes have none.
    bool hasEndMarkers() const { return documentKind == Kind::Programs; }
    LightingTransfer::Location location() const;
    SceneClip::Kind clipKind() const;
    // "pgm" or "scn", the files' extension.
    QString fileSuffix() const;

    // Records by index; a program's scene s of program p is p * 20 + s.
    static int programIndex(int program, int scene);
    const SceneRecord &record(int index) const;
    // Changes one record; recordChanged() only when its bytes differ.
    void setRecord(int index, const SceneRecord &record);

    // The whole table, as files and the device hold it.
    QByteArray table() const;
    // The table in place, for a transfer that sends it; valid as long as the
    // document, and showing every later change.
    const void *constData() const { return records.data(); }
    // Replaces the whole table (false, and nothing changed, for a wrong size).
    bool setTable(const QByteArray &table);

    QString fileName() const { return file; }
    void setFileName(const QString &fileName);

    bool isModified() const;
    // The table as it is now becomes the clean point.
    void setClean();
    // The clean point itself, for carrying a document into another window.
    QByteArray cleanTable() const { return clean; }
    void setCleanTable(const QByteArray &table);

signals:
    void recordChanged(int index);
    void tableReplaced();
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString &fileName);

private:
    void noteChange();

    Kind documentKind;
    std::vector<SceneRecord> records;
    QByteArray clean;
    QString file;
    bool modified = false;
};
