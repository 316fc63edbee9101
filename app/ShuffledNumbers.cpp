#include "app/ShuffledNumbers.h"

#include "app/RuntimeRandom.h"

#include <array>

QList<ShuffledNumbers::Draw> ShuffledNumbers::draw(RuntimeRandom &generator)
{
    std::array<bool, Count> taken{};
    QList<Draw> draws;
    draws.reserve(Count);
    while (draws.size() < Count) {
        const int random = generator.next();
        const int slot = random % Count;
        if (taken[slot])
            continue;
        taken[slot] = true;
        draws.append({random, slot + FirstValue});
    }
    return draws;
}

QByteArray ShuffledNumbers::csv(const QList<Draw> &draws)
{
    QByteArray text;
    for (const Draw &d : draws) {
        text += QByteArray::number(d.value);
        text += ',';
    }
    text += ';';
    return text;
}
