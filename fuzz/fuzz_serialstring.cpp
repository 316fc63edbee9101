// Serial string descriptor decoding on any descriptor bytes, as many as the
// device sent.
#include "FuzzCheck.h"

#include "usb/SerialStringDecoder.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int received = int(std::min<size_t>(size, INT_MAX));
    const QByteArray serial = decodeSerialStringDescriptor(data, received);
    if (received < 2) {
        FUZZ_CHECK(serial.isEmpty());
        return 0;
    }
    // One character per complete code unit inside both lengths, at most.
    const int end = std::min(received, int(data[0]));
    FUZZ_CHECK(serial.size() <= std::max(0, (end - 2) / 2));
    return 0;
}
