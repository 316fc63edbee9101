#pragma once

#include <QByteArray>

#include <cstdint>

// The bootloader's version block: 32 bytes of device memory at 0x08003FD0
// holding two zero-ended texts, the version at +0 and its date at +16.
namespace VersionBlock {

constexpr uint32_t Address = 0x08003FD0;
constexpr int Size = 32;
constexpr int DateOffset = 16;
constexpr int FieldSize = 16;

// The version text up to its first zero byte, never past the block.
QByteArray version(const QByteArray &block);
// The date text up to its first zero byte, never past the block.
QByteArray date(const QByteArray &block);

// True when both texts are printable and end in a zero inside their 16
// bytes, as a device with our transfer key returns them; read with another
// key, the descrambled bytes are noise.
bool isPlain(const QByteArray &block);

} // namespace VersionBlock
