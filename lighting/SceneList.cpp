#include "lighting/SceneList.h"

#include <cstring>

SceneList::SceneList(const QByteArray &table, int first, int count)
    : table(table)
    , first(first)
    , count(count)
{
    // A list that does not lie inside the table is empty: nothing changes.
    if (first < 0 || count < 0 || (first + count) * SceneRecord::Size > table.size())
        this->count = 0;
}

bool SceneList::isBlank(const SceneRecord &record)
{
    for (quint8 byte : record.bytes) {
        if (byte != 0)
            return false;
    }
    return true;
}

bool SceneList::valid(int at) const
{
    return at >= 0 && at < count;
}

SceneRecord SceneList::last() const
{
    SceneRecord record = {};
    if (count > 0)
        std::memcpy(record.bytes, table.constData() + offset(count - 1), SceneRecord::Size);
    return record;
}

QByteArray SceneList::inserted(int at) const
{
    if (!valid(at))
        return table;
    QByteArray result = table;
    const int moved = (count - 1 - at) * SceneRecord::Size;
    std::memmove(result.data() + offset(at + 1), table.constData() + offset(at), size_t(moved));
    std::memset(result.data() + offset(at), 0, SceneRecord::Size);
    return result;
}

QByteArray SceneList::removed(int at) const
{
    if (!valid(at))
        return table;
    QByteArray result = table;
    const int moved = (count - 1 - at) * SceneRecord::Size;
    std::memmove(result.data() + offset(at), table.constData() + offset(at + 1), size_t(moved));
    std::memset(result.data() + offset(count - 1), 0, SceneRecord::Size);
    return result;
}

QByteArray SceneList::movedUp(int at) const
{
    return swapped(at, at - 1);
}

QByteArray SceneList::movedDown(int at) const
{
    return swapped(at, at + 1);
}

QByteArray SceneList::swapped(int a, int b) const
{
    if (!valid(a) || !valid(b))
        return table;
    QByteArray result = table;
    std::memcpy(result.data() + offset(a), table.constData() + offset(b), SceneRecord::Size);
    std::memcpy(result.data() + offset(b), table.constData() + offset(a), SceneRecord::Size);
    return result;
}

QByteArray SceneList::scenes() const
{
    return table.mid(offset(0), count * SceneRecord::Size);
}

QByteArray SceneList::withScenes(const QByteArray &newScenes) const
{
    if (newScenes.size() != count * SceneRecord::Size)
        return table;
    QByteArray result = table;
    std::memcpy(result.data() + offset(0), newScenes.constData(), size_t(newScenes.size()));
    return result;
}
