#include "sim/usbfs/UeventSender.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vt520usbfs {

namespace {

// How long a listener whose queue is full is waited for.
constexpr int FullQueueWaitMs = 5000;

// The header of a libudev monitor message; libudev's socket filter reads
// the magic and the hashes (network byte order).
struct MonitorHeader {
    char prefix[8];
    uint32_t magic;
    uint32_t headerSize;
    uint32_t propertiesOffset;
    uint32_t propertiesLength;
    uint32_t subsystemHash;
    uint32_t devtypeHash;
    uint32_t tagBloomHigh;
    uint32_t tagBloomLow;
};
constexpr uint32_t MonitorMagic = 0xfeedcafe;

// MurmurHash2 with seed 0, the hash libudev filters subsystems and device
// types with.
uint32_t murmurHash2(const QByteArray &text)
{
    constexpr uint32_t m = 0x5bd1e995;
    const auto *data = reinterpret_cast<const unsigned char *>(text.constData());
    size_t remaining = size_t(text.size());
    uint32_t h = uint32_t(remaining);
    while (remaining >= 4) {
        uint32_t k = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
        k *= m;
        k ^= k >> 24;
        k *= m;
        h *= m;
        h ^= k;
        data += 4;
        remaining -= 4;
    }
    switch (remaining) {
    case 3:
        h ^= uint32_t(data[2]) << 16;
        [[fallthrough]];
    case 2:
        h ^= uint32_t(data[1]) << 8;
        [[fallthrough]];
    case 1:
        h ^= data[0];
        h *= m;
        break;
    default:
        break;
    }
    h ^= h >> 13;
    h *= m;
    h ^= h >> 15;
    return h;
}

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

UeventSender::UeventSender(const QByteArray &root)
    : root(root)
{
}

void UeventSender::send(const QByteArray &devPath, const QByteArray &action)
{
    QFile file(QString::fromUtf8(root + "/sys" + devPath + "/uevent"));
    QList<QByteArray> fileProperties;
    QByteArray subsystem = "usb";
    QByteArray devtype;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            fileProperties.append(line);
            if (line.startsWith("SUBSYSTEM="))
                subsystem = line.mid(10);
            else if (line.startsWith("DEVTYPE="))
                devtype = line.mid(8);
        }
    }
    QByteArray properties;
    const auto add = [&](const QByteArray &property) {
        properties += property;
        properties += '\0';
    };
    add("ACTION=" + action);
    add("DEVPATH=" + devPath);
    add("SUBSYSTEM=" + subsystem);
    add("SEQNUM=" + QByteArray::number(++sequence));
    for (const QByteArray &property : fileProperties)
        add(property);

    MonitorHeader header{};
    std::memcpy(header.prefix, "libudev", 8);
    header.magic = htonl(MonitorMagic);
    header.headerSize = sizeof header;
    header.propertiesOffset = sizeof header;
    header.propertiesLength = uint32_t(properties.size());
    header.subsystemHash = htonl(murmurHash2(subsystem));
    header.devtypeHash = devtype.isEmpty() ? 0 : htonl(murmurHash2(devtype));
    const QByteArray message = QByteArray(reinterpret_cast<const char *>(&header), sizeof header) + properties;

    const QStringList sockets =
        QDir(QString::fromUtf8(root)).entryList(QStringList{QStringLiteral("event[0-9]*")}, QDir::System);
    for (const QString &name : sockets)
        sendTo(root + '/' + name.toUtf8(), message, devPath);
}

void UeventSender::sendTo(const QByteArray &socketPath, const QByteArray &message, const QByteArray &devPath)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (size_t(socketPath.size()) >= sizeof address.sun_path)
        return;
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        // Its process closed it or has ended.
        if (errno == ECONNREFUSED)
            ::unlink(socketPath.constData());
        ::close(fd);
        return;
    }
    const int64_t deadline = nowMs() + FullQueueWaitMs;
    for (;;) {
        if (::send(fd, message.constData(), size_t(message.size()), 0) >= 0)
            break;
        if (errno == ECONNREFUSED) {
            ::unlink(socketPath.constData()); // closed since
            break;
        }
        const int64_t left = deadline - nowMs();
        if ((errno != EAGAIN && errno != EINTR) || left <= 0) {
            fprintf(stderr, "vt520-usbfs-run: uevent for %s not delivered to %s: %s\n", devPath.constData(),
                    socketPath.constData(), strerror(errno));
            break;
        }
        // Writable again once the process has read from its queue.
        pollfd writable{fd, POLLOUT, 0};
        ::poll(&writable, 1, int(left));
    }
    ::close(fd);
}

} // namespace vt520usbfs
