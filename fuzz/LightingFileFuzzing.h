#pragma once

#include "FuzzCheck.h"

#include "lighting/LightingFile.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

// Reads any bytes as a programs or scenes file. An accepted file gives exactly
// one table, which must come back unchanged from a write and a second read.
inline int fuzzLightingFile(const uint8_t *data, size_t size, LightingFile::Kind kind)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device;
    device.setData(input);
    if (!device.open(QIODevice::ReadOnly))
        return 0;
    const LightingFile::ReadResult result = LightingFile::read(device, kind);
    FUZZ_CHECK(device.pos() <= qint64(size));
    if (result.status != LightingFile::Status::Ok) {
        FUZZ_CHECK(result.table.isEmpty());
        return 0;
    }
    FUZZ_CHECK(result.table.size() == LightingFile::tableSize(kind));

    QBuffer copy;
    copy.open(QIODevice::ReadWrite);
    FUZZ_CHECK(LightingFile::write(copy, kind, result.table));
    copy.seek(0);
    const LightingFile::ReadResult again = LightingFile::read(copy, kind);
    FUZZ_CHECK(again.status == LightingFile::Status::Ok);
    FUZZ_CHECK(again.table == result.table);
    return 0;
}
