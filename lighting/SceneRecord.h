#pragma once

#include <QtEndian>
#include <QtGlobal>

#include <cstring>

// One scene: 12 lamp colours, rise time, static time and end marker.
// 48 bytes, the same in memory, in the device's external flash and in files;
// the 32-bit fields are little-endian whatever the host's byte order.
struct SceneRecord {
    static constexpr int LampCount = 12;
    static constexpr int Size = 48;
    // Byte offsets: the lamps' R, G, B from 0, then these fields.
    static constexpr int RiseTimeOffset = 36;
    static constexpr int StaticTimeOffset = 40;
    static constexpr int EndMarkerOffset = 44;
    // Lamps, rise time and static time: what every scene carries.
    static constexpr int CommonFieldsSize = EndMarkerOffset;

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

    qint32 riseTime() const { return qFromLittleEndian<qint32>(bytes + RiseTimeOffset); }
    void setRiseTime(qint32 value) { qToLittleEndian<qint32>(value, bytes + RiseTimeOffset); }
    qint32 staticTime() const { return qFromLittleEndian<qint32>(bytes + StaticTimeOffset); }
    void setStaticTime(qint32 value) { qToLittleEndian<qint32>(value, bytes + StaticTimeOffset); }
    quint8 endMarker() const { return bytes[EndMarkerOffset]; }
    void setEndMarker(quint8 value) { bytes[EndMarkerOffset] = value; }
    // Bytes 45..47 are reserved: never written by the editor, kept as read.
};
static_assert(sizeof(SceneRecord) == SceneRecord::Size, "SceneRecord must be 48 bytes");
