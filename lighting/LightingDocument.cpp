#include "lighting/LightingDocument.h"

#include "lighting/SceneTables.h"

#include <cstring>

LightingDocument::LightingDocument(Kind kind, QObject *parent)
    : QObject(parent)
    , documentKind(kind)
    , records(size_t(kind == Kind::Programs ? ProgramCount * ScenesPerProgram : StandaloneSceneCount), SceneRecord{})
{
    clean = table();
}

LightingTransfer::Location LightingDocument::location() const
{
    return documentKind == Kind::Programs ? LightingTransfer::Programs : LightingTransfer::Scenes;
}

SceneClip::Kind LightingDocument::clipKind() const
{
    return documentKind == Kind::Programs ? SceneClip::Kind::ProgramScene : SceneClip::Kind::StandaloneScene;
}

QString LightingDocument::fileSuffix() const
{
    return documentKind == Kind::Programs ? QStringLiteral("pgm") : QStringLiteral("scn");
}

int LightingDocument::programIndex(int program, int scene)
{
    return program * ScenesPerProgram + scene;
}

const SceneRecord &LightingDocument::record(int index) const
{
    return records.at(size_t(qBound(0, index, recordCount() - 1)));
}

void LightingDocument::setRecord(int index, const SceneRecord &record)
{
    if (index < 0 || index >= recordCount())
        return;
    SceneRecord &stored = records[size_t(index)];
    if (std::memcmp(stored.bytes, record.bytes, SceneRecord::Size) == 0)
        return;
    stored = record;
    emit recordChanged(index);
    noteChange();
}

QByteArray LightingDocument::table() const
{
    return QByteArray(reinterpret_cast<const char *>(records.data()), recordCount() * SceneRecord::Size);
}

bool LightingDocument::setTable(const QByteArray &table)
{
    if (table.size() != recordCount() * SceneRecord::Size)
        return false;
    std::memcpy(records.data(), table.constData(), size_t(table.size()));
    emit tableReplaced();
    noteChange();
    return true;
}

void LightingDocument::setFileName(const QString &fileName)
{
    if (fileName == file)
        return;
    file = fileName;
    emit fileNameChanged(file);
}

bool LightingDocument::isModified() const
{
    return modified;
}

void LightingDocument::setClean()
{
    clean = table();
    noteChange();
}

void LightingDocument::setCleanTable(const QByteArray &table)
{
    if (table.size() != recordCount() * SceneRecord::Size)
        return;
    clean = table;
    noteChange();
}

// Modified means "differs from the clean point", so that an edit taken back
// by hand clears the mark as an undo would.
void LightingDocument::noteChange()
{
    const bool nowModified = table() != clean;
    if (nowModified == modified)
        return;
    modified = nowModified;
    emit modifiedChanged(modified);
}
