#pragma once

#include <QString>

// A short name for the transfer key this build scrambles with: the first 16
// hexadecimal digits of the SHA-256 of its 128 bytes (32 little-endian
// words, as a key file holds them). Reports carry it, so that a build with
// the emulator's key is told apart from one with a real unit's key without
// the key itself being shown.
namespace TransferKeyFingerprint {

QString ofThisBuild();

} // namespace TransferKeyFingerprint
