#include "usb/Scrambling.h"

#include "usb/TransferKey.h"

#include <QDebug>
#include <QtEndian>

#include <cstdint>

int EncodeBuffer(unsigned char *buffer, unsigned int length)
{
    const unsigned int words = length / 4;
    qDebug("Encoding started @ 0x%08llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(buffer)));
    for (unsigned int i = 0; i < words; ++i) {
        const uint32_t k = TransferKey[i % TransferKeyWordCount];
        unsigned char *p = buffer + 4 * i;
        qToLittleEndian<uint32_t>((qFromLittleEndian<uint32_t>(p) ^ k) + k, p);
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
        qToLittleEndian<uint32_t>((qFromLittleEndian<uint32_t>(p) - k) ^ k, p);
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
