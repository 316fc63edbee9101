#pragma once

#include "lighting/SceneRecord.h"

#include <QByteArray>

// A scene as the editor copies and pastes it: the fields the editor owns
// (12 lamps, XFade, Scene Time, End Marker), never the reserved bytes.
// A program scene pasted into a stand-alone scene leaves its End Marker
// behind; a stand-alone scene pasted into a program scene gets End Marker 0.
class SceneClip
{
public:
    enum class Kind : quint8 { ProgramScene = 1, StandaloneScene = 2 };

    // Clipboard format: one kind byte, then the 48-byte record.
    static constexpr const char *MimeType = "application/x-vt520-scene";
    static constexpr int ByteSize = 1 + SceneRecord::Size;

    SceneClip() = default;
    static SceneClip copy(const SceneRecord &record, Kind from);

    bool isEmpty() const { return kind == Kind(0); }
    Kind origin() const { return kind; }

    // Writes the clip into a record of the given kind; the record's reserved
    // bytes (and a stand-alone scene's bytes 44..47) stay as they are.
    void pasteInto(SceneRecord &record, Kind to) const;

    QByteArray toBytes() const;
    // An empty clip for anything that is not exactly one clip.
    static SceneClip fromBytes(const QByteArray &bytes);

    // Cut leaves a scene dark and without time; Blackout darkens the lamps only.
    static void cut(SceneRecord &record);
    static void blackout(SceneRecord &record);

private:
    Kind kind = Kind(0);
    SceneRecord record{};
};
