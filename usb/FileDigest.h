#pragma once

#include <QString>

// The SHA-256 and size of a file as it is on disk, read in pieces, so that
// a report can name exactly the file a run used or wrote.
struct FileDigest {
    // No file of this tool comes near it: a larger one is refused by every
    // reader, and hashing gigabytes would only delay that refusal.
    static constexpr qint64 LargestHashed = 64 * 1024 * 1024;

    bool valid = false; // false: the file could not be read
    QString sha256;     // lowercase hexadecimal; empty above LargestHashed
    qint64 size = 0;

    static FileDigest of(const QString &fileName);
};
