#include "sim/WireTime.h"

namespace vt520sim {

namespace {

constexpr int64_t PacketBytes = 64;
constexpr int64_t TransactionBits = 35 + 35 + 19 + 16; // token, empty data packet, handshake, gaps
constexpr int64_t BitsPerMicrosecond = 12;

int64_t dataTransactionBits(int length)
{
    const int64_t bytes = length > 0 ? length : 0;
    const int64_t packets = (bytes + PacketBytes - 1) / PacketBytes;
    return packets * TransactionBits + 8 * bytes;
}

int64_t microseconds(int64_t bits)
{
    return (bits + BitsPerMicrosecond - 1) / BitsPerMicrosecond;
}

} // namespace

int64_t controlWireMicroseconds(int length)
{
    const int64_t setup = TransactionBits + 8 * 8;
    const int64_t status = TransactionBits;
    return microseconds(setup + dataTransactionBits(length) + status);
}

int64_t bulkWireMicroseconds(int length)
{
    // A zero-length bulk packet is still one transaction.
    return microseconds(length > 0 ? dataTransactionBits(length) : TransactionBits);
}

int64_t wireMicroseconds(bool bulk, int length)
{
    return bulk ? bulkWireMicroseconds(length) : controlWireMicroseconds(length);
}

} // namespace vt520sim
