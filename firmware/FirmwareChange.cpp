#include "firmware/FirmwareChange.h"

#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "usb/HexDump.h"
#include "usb/Scrambling.h"
#include "usb/USBVT350.h"
#include "usb/UntilZero.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <cstring>

namespace {

unsigned char *bytesOf(QByteArray &array)
{
    return reinterpret_cast<unsigned char *>(array.data());
}

// A version text of the bootloader block as a device with our transfer key
// returns it: printable characters ending in a zero inside its 16 bytes.
// Read with another key, the descrambled bytes are noise.
bool isPlainVersionText(const char *text, int size)
{
    const char *end = std::find(text, text + size, '\0');
    if (end == text + size)
        return false;
    return std::all_of(text, end, [](char c) { return c >= 0x20 && c <= 0x7E; });
}


} // namespace

FirmwareChange::FirmwareChange(USBVT350 &usb, Callbacks callbacks)
    : usb(usb)
    , callbacks(std::move(callbacks))
{
}

void FirmwareChange::say(const QString &text)
{
    if (callbacks.say)
        callbacks.say(text);
}

void FirmwareChange::wait(int milliseconds)
{
    if (callbacks.sleep)
        callbacks.sleep(milliseconds);
    else
        QThread::msleep(static_cast<unsigned long>(milliseconds));
}

QByteArray FirmwareChange::serialString()
{
    return untilZero(usb.getSerialString());
}

// While waiting for the reset: the bootloader's 'b' after the nine digits.
// Looser than deviceModeOf (longer strings pass), as the wait always was.
bool FirmwareChange::isBootloaderSerial(const QByteArray &serial)
{
    return serial.size() >= 10 && serial.at(9) == 'b';
}

bool FirmwareChange::run(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;

    qDebug() << "Start firmware upgrade";
    say(fileName);
    // The whole file is read and checked here, so that a foreign, old or
    // damaged file never reaches the device.
    return runChecked(UpgradeFile::read(fileName));
}

bool FirmwareChange::run(const QString &fileName, const UpgradeFile::Contents &contents)
{
    if (fileName.isEmpty())
        return false;

    qDebug() << "Start firmware upgrade";
    say(fileName);
    return runChecked(contents);
}

bool FirmwareChange::runChecked(const UpgradeFile::Contents &contents)
{
    serialAtStart.clear();
    everyPageVerified = true;
    if (contents.status != UpgradeFile::Status::Ok) {
        say(UpgradeFile::statusText(contents.status));
        return false;
    }

    if (callbacks.percent)
        callbacks.percent(0);
    usb.disconnect();
    if (!connectFirstTime())
        return false;

    DeviceMode mode = DeviceMode::Unknown;
    if (!identify(&mode))
        return false;
    if (mode == DeviceMode::Application) {
        if (!resetIntoBootloader())
            return false;
    } else {
        say(tr("Bootloader mode"));
    }

    say(tr("Writting firmware ... "));
    QByteArray image = contents.scrambledImage;
    DecodeBuffer(bytesOf(image), unsigned(image.size()));
    if (!writeApplication(image.mid(UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize)))
        return false;
    say(tr("OK"));
    if (!writeAndVerifyExternalFlash(image.mid(UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize)))
        return false;

    say(tr("OK"));
    usb.RunApplication();
    wait(AfterStartWait);
    usb.disconnect();
    return everyPageVerified;
}

bool FirmwareChange::connectFirstTime()
{
    for (int attempt = 1; attempt <= ConnectAttempts; ++attempt) {
        if (usb.connect() == 0)
            return true;
        if (attempt < ConnectAttempts) {
            qDebug() << "usb->connect()\nmssleep(200)";
            wait(ConnectRetryWait);
        }
    }
    say(tr("USB Timeout\nCheck USB Cable"));
    if (usb.lastConnectDeniedAccess())
        say(UsbDevice::accessDeniedHint());
    return false;
}

// Shows the serial string and the bootloader version texts, and learns the
// mode from the serial string.
bool FirmwareChange::identify(DeviceMode *mode)
{
    const QByteArray serial = serialString();
    serialAtStart = serial;
    say(QString::fromLatin1(serial));

    char block[VersionBlockSize];
    if (usb.ReadMemory(reinterpret_cast<unsigned char *>(block), VersionBlockAddress, VersionBlockSize) != 0) {
        say(tr("Bootloader Version Read Error"));
        return false;
    }
    say(QString::fromLatin1(untilZero(block, VersionBlockSize)));
    say(QString::fromLatin1(untilZero(block + 16, VersionBlockSize - 16)));
    // A device with another key would take the new pages as noise while our
    // own read-back still matched: stop before the reset and the first write.
    if (!isPlainVersionText(block, 16) || !isPlainVersionText(block + 16, 16)) {
        say(tr("The device does not use this tool's transfer key (its bootloader version reads as garbage); "
               "nothing was written. Build the tool with the device's key (see README)."));
        return false;
    }

    *mode = deviceModeOf(serial);
    if (*mode == DeviceMode::Unknown) {
        say(tr("Serial:") + QString::fromLatin1(serialString()));
        return false;
    }
    return true;
}

bool FirmwareChange::resetIntoBootloader()
{
    say(tr("Apllication mode"));
    say(tr("Reset device"));
    usb.RunApplication();
    qDebug() << "usb->RunApplication()";
    wait(AfterResetWait);
    usb.disconnect();
    qDebug() << "usb->disconnect()";
    wait(AfterDisconnectWait);

    bool bootloaderFound = false;
    for (int attempt = 1; attempt <= BootloaderAttempts && !bootloaderFound; ++attempt) {
        if (usb.connect() == 0 && isBootloaderSerial(serialString()))
            bootloaderFound = true;
        else
            wait(BootloaderRetryWait);
    }
    if (!bootloaderFound) {
        say(tr("USB timout\nCheck USB cable"));
        if (usb.lastConnectDeniedAccess())
            say(UsbDevice::accessDeniedHint());
        return false;
    }

    say(tr("Disconnect"));
    usb.disconnect();
    say(tr("Connect"));
    usb.connect();  // a failure here is made up by the next transfer's reconnection
    say(tr("Serial:") + QString::fromLatin1(serialString()));
    return true;
}

// Writes every page and reads it back. A page that cannot be written ends
// the change; a page that cannot be read back or reads back differently is
// reported and the change goes on.
bool FirmwareChange::writeApplication(const QByteArray &region)
{
    constexpr int PageSize = USBVT350::PageSize;
    const int size = region.size();
    unsigned char page[PageSize];
    unsigned char plain[PageSize];
    unsigned char readBack[PageSize];
    for (int offset = 0; offset < size;) {
        const int length = std::min(PageSize, size - offset);
        std::memset(page, 0xFF, PageSize);
        std::memcpy(page, region.constData() + offset, size_t(length));
        std::memcpy(plain, page, PageSize);

        const quint32 address = UpgradeImage::ApplicationAddress + quint32(offset);
        if (usb.WritePage(page, address) != 0) {
            qDebug() << "page write ERROR";
            say(tr("ERROR"));
            return false;
        }
        qDebug() << "page write OK";
        if (usb.ReadMemory(readBack, address, PageSize) != 0) {
            qDebug() << "page read ERROR";
            say(tr("ERROR"));
            everyPageVerified = false;
        } else if (std::memcmp(readBack, plain, PageSize) != 0) {
            say(tr("ERROR"));
            everyPageVerified = false;
        }

        offset += length;
        if (callbacks.percent)
            callbacks.percent(int(qint64(offset) * 100 / size));
    }
    return true;
}

bool FirmwareChange::writeAndVerifyExternalFlash(const QByteArray &region)
{
    if (region.isEmpty() || region.size() % 4 != 0) {
        qDebug() << "length error" << region.size();
        return false;
    }
    const unsigned length = unsigned(region.size());

    QByteArray scrambled = region;
    EncodeBuffer(bytesOf(scrambled), length);
    say(tr("Writting External Flash ... "));
    if (usb.WriteExternalFlashToAddress(bytesOf(scrambled), ExternalFlashAddress, length) != 0) {
        say(tr("Error"));
        return false;
    }

    say(tr("OK"));
    say(tr("Verify External Flash ...  "));
    QByteArray readBack(region.size(), '\0');
    if (usb.ReadExternalFlashFromAddress(bytesOf(readBack), ExternalFlashAddress, length) != 0) {
        say(tr("Error"));
        return false;
    }
    DecodeBuffer(bytesOf(readBack), length);
    if (readBack != region) {
        say(tr("Error"));
        say(tr("read_buffer"));
        say(QString::fromLatin1(HexDump(bytesOf(readBack), readBack.size())));
        say(tr("ext_datas.data()"));
        say(QString::fromLatin1(HexDump(reinterpret_cast<const unsigned char *>(region.constData()), region.size())));
        return false;
    }
    return true;
}
