#include "lighting/SceneClip.h"

#include <cstring>

SceneClip SceneClip::copy(const SceneRecord &record, Kind from)
{
    SceneClip clip;
    clip.kind = from;
    std::memcpy(clip.record.bytes, record.bytes, SceneRecord::CommonFieldsSize);
    clip.record.setEndMarker(from == Kind::ProgramScene ? record.endMarker() : 0);
    return clip;
}

void SceneClip::pasteInto(SceneRecord &target, Kind to) const
{
    if (isEmpty())
        return;
    std::memcpy(target.bytes, record.bytes, SceneRecord::CommonFieldsSize);
    if (to == Kind::ProgramScene)
        target.setEndMarker(record.endMarker());
}

QByteArray SceneClip::toBytes() const
{
    QByteArray bytes;
    bytes.reserve(ByteSize);
    bytes.append(char(kind));
    bytes.append(reinterpret_cast<const char *>(record.bytes), SceneRecord::Size);
    return bytes;
}

SceneClip SceneClip::fromBytes(const QByteArray &bytes)
{
    SceneClip clip;
    if (bytes.size() != ByteSize)
        return clip;
    const Kind kind = Kind(quint8(bytes.at(0)));
    if (kind != Kind::ProgramScene && kind != Kind::StandaloneScene)
        return clip;
    clip.kind = kind;
    std::memcpy(clip.record.bytes, bytes.constData() + 1, SceneRecord::Size);
    // The marker is edited as 0 or 1; a stand-alone scene has none.
    if (kind == Kind::StandaloneScene)
        clip.record.setEndMarker(0);
    return clip;
}

void SceneClip::cut(SceneRecord &record)
{
    blackout(record);
    record.setRiseTime(0);
    record.setStaticTime(0);
}

void SceneClip::blackout(SceneRecord &record)
{
    for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp)
        record.setLamp(lamp, 0, 0, 0);
}
