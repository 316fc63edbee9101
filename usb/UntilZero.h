#pragma once

#include <QByteArray>

// The text of a fixed-size field that the device fills with a zero-ended
// string (serial string, version block): the bytes up to the first zero byte,
// never past `size`.
QByteArray untilZero(const char *bytes, int size);
QByteArray untilZero(const QByteArray &bytes);
