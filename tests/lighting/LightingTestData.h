#pragma once

// Tables and scrambling worked out independently of the code under test.
#include "lighting/SceneTables.h"
#include "usb/TransferKey.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QtEndian>

inline QByteArray randomTable(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray table(size, '\0');
    for (char &byte : table)
        byte = char(generator.bounded(256));
    return table;
}

// Random records whose fields all lie in the editors' ranges (rise 0..100000,
// static 0..900000, marker 0 or 1), with random reserved bytes, so showing
// and storing a record gives the same bytes back.
inline QByteArray editableTable(int recordCount, quint32 seed)
{
    QByteArray table = randomTable(recordCount * SceneRecord::Size, seed);
    QRandomGenerator generator(seed + 1000);
    for (int r = 0; r < recordCount; ++r) {
        auto *record = reinterpret_cast<SceneRecord *>(table.data() + r * SceneRecord::Size);
        record->setRiseTime(qint32(generator.bounded(100001)));
        record->setStaticTime(qint32(generator.bounded(900001)));
        record->setEndMarker(quint8(generator.bounded(2)));
    }
    return table;
}

inline SceneRecord recordAt(const QByteArray &table, int index)
{
    SceneRecord record;
    memcpy(record.bytes, table.constData() + index * SceneRecord::Size, SceneRecord::Size);
    return record;
}

inline void setRecordAt(QByteArray &table, int index, const SceneRecord &record)
{
    memcpy(table.data() + index * SceneRecord::Size, record.bytes, SceneRecord::Size);
}

// What the device stores for a plain table: word i scrambled with key word
// i mod 32 of the table's own start.
inline QByteArray scrambled(const QByteArray &plain)
{
    QByteArray result = plain;
    for (int i = 0; i < plain.size() / 4; ++i) {
        const quint32 key = TransferKey[i % TransferKeyWordCount];
        const quint32 word = qFromLittleEndian<quint32>(plain.constData() + 4 * i);
        qToLittleEndian<quint32>((word ^ key) + key, result.data() + 4 * i);
    }
    return result;
}

inline QByteArray unscrambled(const QByteArray &stored)
{
    QByteArray result = stored;
    for (int i = 0; i < stored.size() / 4; ++i) {
        const quint32 key = TransferKey[i % TransferKeyWordCount];
        const quint32 word = qFromLittleEndian<quint32>(stored.constData() + 4 * i);
        qToLittleEndian<quint32>((word - key) ^ key, result.data() + 4 * i);
    }
    return result;
}
