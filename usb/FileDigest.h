#pragma once

#include <QString>

// The SHA-256 and size of a file as it is on disk, read in pieces, so that
// a report can name exactly the file a run used or wrote.
struct FileDigest {
    bool valid = false; // false: the file could not be read
    QString sha256;     // lowercase hexadecimal
    qint64 size = 0;

    static FileDigest of(const QString &fileName);
};
