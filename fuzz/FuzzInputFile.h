#pragma once

#include <QString>
#include <QTemporaryFile>

#include <cstddef>
#include <cstdint>

// For readers that take a file name: one temporary file per process, whose
// contents are replaced by each input in turn.
class FuzzInputFile
{
public:
    // Writes the input as the file's whole contents and returns its name, or
    // an empty name when the file could not be written.
    static QString write(const uint8_t *data, size_t size)
    {
        static QTemporaryFile file;
        if (!file.isOpen() && !file.open())
            return QString();
        if (!file.resize(0) || !file.seek(0))
            return QString();
        if (file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size) || !file.flush())
            return QString();
        return file.fileName();
    }
};
