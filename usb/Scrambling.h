#pragma once

#include <QByteArray>

// Transfer scrambling with the 32-word transfer key (TransferKey.h).
// The buffer is taken as little-endian 32-bit words; word i is combined with
// key word i mod 32, so the key always starts at word 0 at the buffer's first
// byte. A tail of 1 to 3 bytes after the last whole word is left untouched.
// Both work in place, may run on any thread and always return 0.

// Scrambles: w = (w XOR k) + k. Writes the "Encoding started/end" trace lines.
int EncodeBuffer(unsigned char *buffer, unsigned int length);

// Unscrambles: w = (w - k) XOR k. Writes no trace.
int DecodeBuffer(unsigned char *buffer, unsigned int length);

// The same over a whole byte array (its size a multiple of 4 for every byte
// to be scrambled; a short tail stays as it is, as above).
void EncodeBuffer(QByteArray &bytes);
void DecodeBuffer(QByteArray &bytes);
