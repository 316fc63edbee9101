#pragma once

#include <cstdint>

namespace vt520sim {

// Time a transfer occupies a full-speed bus (12 Mbit/s, one bit = 1/12 us),
// counted in bit times from its packets:
//   token (SETUP/IN/OUT)        35 bits: SYNC 8, PID 8, address 7, endpoint 4, CRC5 5, EOP 3
//   data packet of n bytes      35 + 8n bits: SYNC 8, PID 8, data, CRC16 16, EOP 3
//   handshake (ACK)             19 bits: SYNC 8, PID 8, EOP 3
//   two inter-packet gaps       16 bits
// so one transaction of n data bytes is 105 + 8n bits, with at most 64 data
// bytes per packet (the Vt520's endpoint sizes). A control transfer is the
// setup transaction (8 bytes), its data packets and a zero-length status
// transaction: 274 + 105 x packets + 8 x length bits (1024 bytes: 846 us,
// none: 23 us). A bulk transfer is its data transactions alone. Bit
// stuffing, start-of-frame packets and NAKed polls are left out.
int64_t controlWireMicroseconds(int length);
int64_t bulkWireMicroseconds(int length);
// The one or the other, by the kind of transfer.
int64_t wireMicroseconds(bool bulk, int length);

} // namespace vt520sim
