#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace vt520sim {

// The settings kept in device.ini beside the two flash images.
struct DeviceSettings {
    bool bootloaderMode = false;
    QByteArray serial;
    uint32_t status = 0;
    int reenumerateMs = 1000;
    bool transferCost = true;
    QString transferKeyFile; // another key than the build's (128-byte file)
    // Device-id requests (255) the unit leaves unanswered before it answers
    // again; Never: it answers none.
    int idRequestsUnanswered = 0;
};

// A folder that holds one emulated Vt520 across processes:
//   internal.bin  262144 bytes, internal flash from 0x08000000, plain
//   external.bin  1048576 bytes, external flash as stored
//   device.ini    mode, serial, status, reenumerate_ms, transfer_cost and,
//                 optionally, transfer_key (a 128-byte key file) and
//                 id_unanswered (a count, or "always")
// Every change is written through at once, only the bytes that changed.
class DeviceStateFolder
{
public:
    explicit DeviceStateFolder(const QString &path);

    const QString &path() const { return folder; }

    // True when all three files are present and well-formed; the outputs are
    // then filled. False leaves them untouched.
    bool load(QByteArray &internal, QByteArray &external, DeviceSettings &settings) const;
    // Creates the folder if needed and writes everything.
    bool saveAll(const QByteArray &internal, const QByteArray &external, const DeviceSettings &settings) const;

    void writeInternal(const QByteArray &internal, uint32_t offset, uint32_t length) const;
    void writeExternal(const QByteArray &external, uint32_t offset, uint32_t length) const;
    void writeSettings(const DeviceSettings &settings) const;

private:
    QString folder;
};

} // namespace vt520sim
