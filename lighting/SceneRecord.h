#pragma once

#include <QtEndian>
#include <QtGlobal>

#include <cstring>

// One scene: 12 lamp colours, rise time, static time and end marker.
// 48 bytes, the same in memory, in the device's external flash and in files;
// the 32-bit fields are little-endian whatever the host's byte order.
struct SceneRecord
{
    static constexpr int LampCount = 12;
    static constexpr int Size = 48;

    quint8 bytes[Size];

    quint8 red(int lamp) const { return bytes[3 * lamp]; }
    quint8 green(int lamp) const { return bytes[3 * lamp + 1]; }
    quint8 blue(int lamp) const { return bytes[3 * lamp + 2]; }
    void setLamp(int lamp, quint8 r, quint8 g, quint8 b)
    {
        bytes[3 * lamp] = r;
        bytes[3 * lamp + 1] = g;
        bytes[3 * lamp + 2] = b;
    }

    qint32 riseTime() const { return qFromLittleEndian<qint32>(bytes + 36); }
    void setRiseTime(qint32 value) { qToLittleEndian<qint32>(value, bytes + 36); }
    qint32 staticTime() const { return qFromLittleEndian<qint32>(bytes + 40); }
    void setStaticTime(qint32 value) { qToLittleEndian<qint32>(value, bytes + 40); }
    quint8 endMarker() const { return bytes[44]; }
    void setEndMarker(quint8 value) { bytes[44] = value; }
    // Bytes 45..47 are reserved: never written by the editor, kept as read.
};
static_assert(sizeof(SceneRecord) == SceneRecord::Size, "SceneRecord must be 48 bytes");
