#pragma once

#include "lighting/FileKind.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What `vt520ctl info` tells about a file of the Vt520 tools, its kind
// found from its first bytes by FileKind, then read by the kind's own reader: its size,
// the upgrade image's regions with where their data lies and their sums,
// the HEX file's record counts, and whether it may be used as it stands.
class FileInfo
{
public:
    using Kind = FileKind::Kind;

    struct Region {
        QString name;      // "application", "external flash"
        quint32 start = 0; // device addresses of the region, both included
        quint32 end = 0;
        bool hasData = false;   // dataStart..dataEnd only then
        quint32 dataStart = 0;  // first and last byte with data: not zero in
        quint32 dataEnd = 0;    // an image, given by a record in a HEX file
        qint64 dataBytes = -1;  // HEX: data bytes given for the region; -1 otherwise
        quint32 sum = 0;        // of the region's words before its sum word
        bool sumStored = false; // the file has a sum word (a HEX file may not)
        quint32 storedSum = 0;
        bool holds() const { return sumStored && sum == storedSum; }
    };

    // Examines the file; a file that is too large for any of the kinds is
    // not read.
    static FileInfo of(const QString &fileName);

    Kind kind = Kind::Unknown;
    QString fileName;
    qint64 size = -1;
    QString problem; // empty when the file may be used as it stands
    QList<Region> regions;
    bool hasRecords = false;
    int records[6] = {};     // HEX records by type 00..05
    qint64 outsideBytes = 0; // HEX data bytes in neither region
    int tableSize = 0;       // programs and scenes: the table's bytes

    static QString kindName(Kind kind);
    QStringList lines() const;
    QJsonObject toJson() const;
};
