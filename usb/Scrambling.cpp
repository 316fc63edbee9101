#include "usb/Scrambling.h"

#include "usb/TransferKey.h"

#include <QDebug>

#include <cstdint>

namespace {

uint32_t loadWord(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void storeWord(unsigned char *p, uint32_t w)
{
    p[0] = uint8_t(w);
    p[1] = uint8_t(w >> 8);
    p[2] = uint8_t(w >> 16);
    p[3] = uint8_t(w >> 24);
}

} // namespace

int EncodeBuffer(unsigned char *buffer, unsigned int length)
{
    const unsigned int words = length / 4;
    qDebug("Encoding started @ 0x%08llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(buffer)));
    for (unsigned int i = 0; i < words; ++i) {
        const uint32_t k = TransferKey[i % TransferKeyWordCount];
        unsigned char *p = buffer + 4 * i;
        storeWord(p, (loadWord(p) ^ k) + k);
    }
    qDebug("Encoding end @ 0x%08llx",
           static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(buffer) + 4 * uintptr_t(words)));
    return 0;
}

int DecodeBuffer(unsigned char *buffer, unsigned int length)
{
    const unsigned int words = length / 4;
    for (unsigned int i = 0; i < words; ++i) {
        const uint32_t k = TransferKey[i % TransferKeyWordCount];
        unsigned char *p = buffer + 4 * i;
        storeWord(p, (loadWord(p) - k) ^ k);
    }
    return 0;
}

void EncodeBuffer(QByteArray &bytes)
{
    EncodeBuffer(reinterpret_cast<unsigned char *>(bytes.data()), unsigned(bytes.size()));
}

void DecodeBuffer(QByteArray &bytes)
{
    DecodeBuffer(reinterpret_cast<unsigned char *>(bytes.data()), unsigned(bytes.size()));
}
