#include "app/RecordEditCommand.h"

#include "lighting/LightingDocument.h"

#include <cstring>

namespace {

bool sameBytes(const SceneRecord &a, const SceneRecord &b, int offset, int length)
{
    return std::memcmp(a.bytes + offset, b.bytes + offset, size_t(length)) == 0;
}

} // namespace

RecordEditCommand::RecordEditCommand(LightingDocument *document, int index, const SceneRecord &before,
                                     const SceneRecord &after, int run, const QString &text)
    : QUndoCommand(text.isEmpty() ? describe(before, after) : text)
    , document(document)
    , index(index)
    , before(before)
    , after(after)
    , run(run)
    , ownText(!text.isEmpty())
{
}

void RecordEditCommand::undo()
{
    document->setRecord(index, before);
}

void RecordEditCommand::redo()
{
    document->setRecord(index, after);
}

bool RecordEditCommand::mergeWith(const QUndoCommand *other)
{
    const auto *edit = static_cast<const RecordEditCommand *>(other);
    if (edit->document != document || edit->index != index || edit->run != run)
        return false;
    after = edit->after;
    setText(describe(before, after));
    setObsolete(sameBytes(before, after, 0, SceneRecord::Size));
    return true;
}

QString RecordEditCommand::describe(const SceneRecord &before, const SceneRecord &after)
{
    int changedLamps = 0;
    int lastLamp = 0;
    for (int lamp = 0; lamp < SceneRecord::LampCount; ++lamp) {
        if (!sameBytes(before, after, 3 * lamp, 3)) {
            ++changedLamps;
            lastLamp = lamp;
        }
    }
    const bool riseChanged = before.riseTime() != after.riseTime();
    const bool staticChanged = before.staticTime() != after.staticTime();
    const bool markerChanged = before.endMarker() != after.endMarker();
    const int changedKinds = (changedLamps > 0) + riseChanged + staticChanged + markerChanged;
    if (changedKinds != 1)
        return tr("Scene");
    if (changedLamps == 1)
        return tr("Lamp %1").arg(lastLamp + 1);
    if (changedLamps > 1)
        return tr("Lamps");
    if (riseChanged)
        return tr("XFade");
    if (staticChanged)
        return tr("Scene Time");
    return tr("End Marker");
}
