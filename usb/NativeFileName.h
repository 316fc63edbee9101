#pragma once

#include <QByteArray>
#include <QString>

// File names as Linux gives them: bytes, not always UTF-8 (a file named in
// a Latin-1 locale has "caf\xE9.upg"). Qt decodes such bytes into U+FFFD,
// and the name no longer names the file. Here every byte that is not part of
// a UTF-8 sequence is kept in the QString as the lone surrogate U+DC80 +
// (byte - 0x80), as Python's "surrogateescape" does: toBytes() gives the
// exact bytes back, and NativeFile opens such a name by them. A name that
// is valid UTF-8 (every name from a file dialog) is decoded as Qt decodes it.
namespace NativeFileName {

// The name of the bytes, undecodable bytes kept as lone surrogates.
QString fromBytes(const QByteArray &bytes);

// The bytes of a name from fromBytes(); UTF-8 for any other name.
QByteArray toBytes(const QString &name);

// Whether the name holds a byte that is not UTF-8, so that Qt cannot open it.
bool keepsBytes(const QString &name);

// The text for a person to read: each kept byte written as \xHH.
QString shown(const QString &text);

} // namespace NativeFileName
