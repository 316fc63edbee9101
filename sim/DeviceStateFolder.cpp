#include "sim/DeviceStateFolder.h"

#include "sim/Vt520Sim.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace vt520sim {

namespace {

const char InternalFile[] = "internal.bin";
const char ExternalFile[] = "external.bin";
const char SettingsFile[] = "device.ini";

bool readExactly(const QString &path, qint64 size, QByteArray &out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() != size)
        return false;
    out = file.readAll();
    return out.size() == size;
}

// Rewrites a byte range of an image file in place; the whole file when it
// is missing or of the wrong size.
void writeRange(const QString &path, const QByteArray &image, uint32_t offset, uint32_t length)
{
    QFile file(path);
    if (file.exists() && file.size() == image.size() && file.open(QIODevice::ReadWrite)) {
        if (file.seek(offset))
            file.write(image.constData() + offset, length);
        return;
    }
    QSaveFile whole(path);
    if (whole.open(QIODevice::WriteOnly)) {
        whole.write(image);
        whole.commit();
    }
}

QByteArray settingsText(const DeviceSettings &settings)
{
    QByteArray text = "[device]\n";
    text += "mode=" + QByteArray(settings.bootloaderMode ? "bootloader" : "application") + "\n";
    text += "serial=" + settings.serial + "\n";
    text += "status=" + QByteArray::number(settings.status) + "\n";
    text += "reenumerate_ms=" + QByteArray::number(settings.reenumerateMs) + "\n";
    text += "transfer_cost=" + QByteArray(settings.transferCost ? "on" : "off") + "\n";
    if (!settings.transferKeyFile.isEmpty())
        text += "transfer_key=" + settings.transferKeyFile.toUtf8() + "\n";
    if (settings.idRequestsUnanswered == Never)
        text += "id_unanswered=always\n";
    else if (settings.idRequestsUnanswered > 0)
        text += "id_unanswered=" + QByteArray::number(settings.idRequestsUnanswered) + "\n";
    return text;
}

bool parseSettings(const QByteArray &text, DeviceSettings &settings)
{
    DeviceSettings parsed;
    bool haveMode = false;
    bool haveSerial = false;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('[') || line.startsWith(';') || line.startsWith('#'))
            continue;
        const int equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        bool ok = true;
        if (key == "mode") {
            if (value != "application" && value != "bootloader")
                return false;
            parsed.bootloaderMode = value == "bootloader";
            haveMode = true;
        } else if (key == "serial") {
            parsed.serial = value;
            haveSerial = true;
        } else if (key == "status") {
            parsed.status = value.toUInt(&ok, 0);
        } else if (key == "reenumerate_ms") {
            parsed.reenumerateMs = value.toInt(&ok);
            ok = ok && parsed.reenumerateMs >= 0;
        } else if (key == "transfer_cost") {
            ok = value == "on" || value == "off";
            parsed.transferCost = value == "on";
        } else if (key == "transfer_key") {
            parsed.transferKeyFile = QString::fromUtf8(value);
        } else if (key == "id_unanswered") {
            parsed.idRequestsUnanswered = value == "always" ? Never : value.toInt(&ok);
            ok = ok && (parsed.idRequestsUnanswered >= 0 || parsed.idRequestsUnanswered == Never);
        }
        if (!ok)
            return false;
    }
    if (!haveMode || !haveSerial)
        return false;
    settings = parsed;
    return true;
}

} // namespace

DeviceStateFolder::DeviceStateFolder(const QString &path)
    : folder(path)
{
}

bool DeviceStateFolder::load(QByteArray &internal, QByteArray &external, DeviceSettings &settings) const
{
    const QDir dir(folder);
    QByteArray in, ex;
    if (!readExactly(dir.filePath(InternalFile), InternalFlashSize, in)
        || !readExactly(dir.filePath(ExternalFile), ExternalFlashSize, ex))
        return false;
    QFile ini(dir.filePath(SettingsFile));
    if (!ini.open(QIODevice::ReadOnly))
        return false;
    DeviceSettings parsed;
    if (!parseSettings(ini.readAll(), parsed))
        return false;
    internal = in;
    external = ex;
    settings = parsed;
    return true;
}

bool DeviceStateFolder::saveAll(const QByteArray &internal, const QByteArray &external,
                                const DeviceSettings &settings) const
{
    if (!QDir().mkpath(folder))
        return false;
    const QDir dir(folder);
    for (const auto &[name, image] : {std::pair{InternalFile, &internal}, std::pair{ExternalFile, &external}}) {
        QSaveFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(*image) != image->size() || !file.commit())
            return false;
    }
    writeSettings(settings);
    return true;
}

void DeviceStateFolder::writeInternal(const QByteArray &internal, uint32_t offset, uint32_t length) const
{
    writeRange(QDir(folder).filePath(InternalFile), internal, offset, length);
}

void DeviceStateFolder::writeExternal(const QByteArray &external, uint32_t offset, uint32_t length) const
{
    writeRange(QDir(folder).filePath(ExternalFile), external, offset, length);
}

void DeviceStateFolder::writeSettings(const DeviceSettings &settings) const
{
    QSaveFile file(QDir(folder).filePath(SettingsFile));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(settingsText(settings));
        file.commit();
    }
}

} // namespace vt520sim
