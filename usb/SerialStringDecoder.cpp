#include "usb/SerialStringDecoder.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>

QByteArray decodeSerialStringDescriptor(const unsigned char *data, int received)
{
    QByteArray serial;
    if (!data || received < 2)
        return serial;
    const int end = std::min(received, int(data[0]));
    for (int i = 2; i + 1 < end; i += 2) {
        const uint16_t unit = qFromLittleEndian<uint16_t>(data + i);
        if (unit == 0)
            break;
        serial.append(char(unit & 0xFF));
    }
    return serial;
}
