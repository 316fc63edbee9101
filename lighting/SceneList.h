#pragma once

#include "lighting/SceneRecord.h"

#include <QByteArray>

// The scenes of one program (or the stand-alone scenes) as a list inside a
// whole table: a new scene put in at a place, the later ones moving down and
// the last one falling off; a scene taken out, the later ones moving up and a
// blank scene (black, zero times, no End Marker) coming in at the end; a
// scene swapped with its neighbour. Each record moves whole, its End Marker
// and reserved bytes with it; records outside the list are never touched.
// Each operation returns the new table and leaves a table of the wrong size,
// or a place outside the list, unchanged.
class SceneList
{
public:
    // The list: `count` records from record `first` of `table`.
    SceneList(const QByteArray &table, int first, int count);

    // A scene whose 48 bytes are all zero: nothing is lost when it is dropped.
    static bool isBlank(const SceneRecord &record);

    // The last scene of the list, which an insertion drops.
    SceneRecord last() const;

    QByteArray inserted(int at) const;
    QByteArray removed(int at) const;
    // Scene `at` swapped with scene `at` - 1 (up) or `at` + 1 (down).
    QByteArray movedUp(int at) const;
    QByteArray movedDown(int at) const;

    // The list's bytes alone, and the table with them replaced by `scenes`
    // (which must be exactly as long).
    QByteArray scenes() const;
    QByteArray withScenes(const QByteArray &scenes) const;

private:
    bool valid(int at) const;
    QByteArray swapped(int a, int b) const;
    int offset(int at) const { return (first + at) * SceneRecord::Size; }

    QByteArray table;
    int first;
    int count;
};
