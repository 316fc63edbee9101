#include "firmware/FirmwareChange.h"

#include "firmware/FailureText.h"
#include "firmware/UpgradeFile.h"
#include "firmware/UpgradeImage.h"
#include "usb/HexDump.h"
#include "usb/Scrambling.h"
#include "usb/USBVT350.h"
#include "usb/UntilZero.h"
#include "usb/VersionBlock.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

namespace {

// Keeps the device object on the port of the unit a sequence identified,
// through every reset and re-enumeration (its address changes, its port
// does not), so that no reconnection ever takes whichever unit comes first;
// the object's own pin is given back at the end.
class PortPin
{
public:
    explicit PortPin(UsbDevice &device)
        : device(device)
        , before(device.pinnedPort())
    {
        device.pinToPort(device.connectedPortPath());
    }
    ~PortPin() { device.pinToPort(before); }
    PortPin(const PortPin &) = delete;
    PortPin &operator=(const PortPin &) = delete;

private:
    UsbDevice &device;
    const QString before;
};

} // namespace

FirmwareChange::FirmwareChange(USBVT350 &usb, Callbacks callbacks, Clock &clock)
    : usb(usb)
    , callbacks(std::move(callbacks))
    , clock(clock)
    , recoveryClock(clock, [this] { return stopNow(); })
{
}

bool FirmwareChange::stopNow()
{
    if (!stopped)
        stopped = clock.stopRequested();
    return stopped;
}

void FirmwareChange::say(const QString &text)
{
    if (callbacks.say)
        callbacks.say(text);
}

void FirmwareChange::mark(const char *step)
{
    if (callbacks.step)
        callbacks.step(QString::fromLatin1(step));
}

void FirmwareChange::wait(int milliseconds) const
{
    clock.sleep(milliseconds);
}

QByteArray FirmwareChange::serialString()
{
    return serialString(usb);
}

QByteArray FirmwareChange::serialString(UsbDevice &device)
{
    return untilZero(device.getSerialString());
}

bool FirmwareChange::run(const QString &fileName)
{
    if (fileName.isEmpty())
        return false;

    qDebug() << "Start firmware upgrade";
    say(fileName);
    // The whole file is read and checked here, so that a foreign, old or
    // damaged file never reaches the device.
    return runChecked(fileName, UpgradeFile::read(fileName)) == Outcome::Changed;
}

bool FirmwareChange::run(const QString &fileName, const UpgradeFile::Contents &contents)
{
    if (fileName.isEmpty())
        return false;

    qDebug() << "Start firmware upgrade";
    say(fileName);
    return runChecked(fileName, contents) == Outcome::Changed;
}

// What a run (a change, a start, a comparison) learns starts empty each time.
void FirmwareChange::forgetLastRun()
{
    serialAtStart.clear();
    serialAfter.clear();
    unitPort.clear();
    connectionsAtWrite = 0;
    everyPageVerified = true;
    startRequestFailed = false;
    stopped = false;
    complete = false;
    endingFailure = Failure();
}

FirmwareChange::Outcome FirmwareChange::runChecked(const QString &fileName, const UpgradeFile::Contents &contents)
{
    forgetLastRun();
    if (contents.status != UpgradeFile::Status::Ok) {
        say(FailureText::upgradeFileRefusal(contents.status, fileName));
        ended = Outcome::FileRefused;
    } else {
        ended = writeAndStart(contents);
    }
    say(verdict());
    return ended;
}

FirmwareChange::Outcome FirmwareChange::writeAndStart(const UpgradeFile::Contents &contents)
{
    if (callbacks.percent)
        callbacks.percent(0);
    usb.disconnect();
    if (!connectFirstTime())
        return Outcome::NoDevice;
    const PortPin pin(usb);

    DeviceMode mode = DeviceMode::Unknown;
    if (!identify(&mode))
        return Outcome::NotIdentified;
    mark("identified");
    // The last point where the unit is still exactly as it was found: a stop
    // here sends nothing more, neither the reset nor a page.
    if (stopNow())
        return Outcome::StoppedUntouched;
    if (mode == DeviceMode::Application) {
        mark("reset");
        if (!resetIntoBootloader())
            return Outcome::BootloaderNotReached;
    } else {
        say(tr("Bootloader mode"));
    }
    mark("bootloader");
    unitPort = usb.connectedPortPath();
    connectionsAtWrite = usb.connectionCount();

    say(tr("Writting firmware ... "));
    mark("application-write-start");
    QByteArray image = contents.scrambledImage;
    DecodeBuffer(image);
    if (!writeApplication(image.mid(UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize)))
        return stopped ? Outcome::Stopped : Outcome::PageWriteFailed;
    say(tr("OK"));
    mark("application-write-end");
    if (stopNow())
        return Outcome::Stopped;
    if (const std::optional<Outcome> failed =
            writeAndVerifyExternalFlash(image.mid(UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize)))
        return *failed;

    say(tr("OK"));
    mark("external-flash-verify-end");
    complete = everyPageVerified;
    if (stopNow())
        return Outcome::Stopped;
    mark("start");
    const Outcome started = startAndAwait();
    mark("back");
    // A page that read back different spoils any return.
    return started == Outcome::Changed && !everyPageVerified ? Outcome::PagesDiffer : started;
}

FirmwareChange::Outcome FirmwareChange::startApplication()
{
    forgetLastRun();
    usb.disconnect();
    if (!connectFirstTime()) {
        ended = Outcome::NoDevice;
        return ended;
    }
    const PortPin pin(usb);
    serialAtStart = serialString();
    if (deviceModeOf(serialAtStart) != DeviceMode::Bootloader) {
        usb.disconnect();
        ended = Outcome::NotIdentified;
        return ended;
    }
    ended = startAndAwait();
    return ended;
}

// Starts the new application and looks for the unit at the port it was
// written at (its address changes when it re-enumerates). A separate device
// object does the looking, pinned to that port, so the caller's own object
// is left as the sequence always left it: disconnected, pinned or not.
FirmwareChange::Outcome FirmwareChange::startAndAwait()
{
    if (const QString port = usb.connectedPortPath(); !port.isEmpty())
        unitPort = port;
    // A unit that lost power during the external flash writes comes back in
    // its application (every page was written, so its sum holds): it runs
    // the new firmware already, and the request would reset it into its
    // bootloader. Its serial is read only when it was reached afresh.
    const bool runningAlready = connectionsAtWrite != 0 && usb.connectionCount() != connectionsAtWrite
                                && deviceModeOf(serialString()) == DeviceMode::Application;
    if (!runningAlready) {
        // A unit may restart before it answers the request; its return decides.
        startRequestFailed = usb.RunApplication() != 0;
        wait(AfterStartWait);
    }
    usb.disconnect();
    if (unitPort.isEmpty())
        return Outcome::NotBack;

    USBVT350 probe;
    probe.pinToPort(unitPort);
    const QByteArray productionSerial = productionSerialOf(serialAtStart);
    QByteArray seen;
    for (int attempt = 1; attempt <= ComeBackAttempts; ++attempt) {
        seen = probe.connect() == 0 ? serialString(probe) : QByteArray();
        probe.disconnect();
        // The application answers at once; a bootloader may still be on its
        // way out, so it is looked at again until the tries are spent.
        if (deviceModeOf(seen) == DeviceMode::Application)
            break;
        if (attempt < ComeBackAttempts)
            wait(ComeBackRetryWait);
    }
    serialAfter = seen;
    switch (deviceModeOf(seen)) {
    case DeviceMode::Application:
        return seen == productionSerial ? Outcome::Changed : Outcome::NotBack;
    case DeviceMode::Bootloader:
        return productionSerialOf(seen) == productionSerial ? Outcome::StayedInBootloader : Outcome::NotBack;
    case DeviceMode::Unknown:
        break;
    }
    return Outcome::NotBack;
}

QString FirmwareChange::verdict() const
{
    return FailureText::verdict(ended, QString::fromLatin1(productionSerialOf(serialAtStart)), unitPort,
                                startRequestFailed);
}

bool FirmwareChange::connectFirstTime()
{
    Failure failure;
    for (int attempt = 1; attempt <= ConnectAttempts; ++attempt) {
        if (failure = usb.tryConnect(); !failure.failed())
            return true;
        if (attempt < ConnectAttempts) {
            qDebug() << "usb->connect()\nmssleep(200)";
            wait(ConnectRetryWait);
        }
    }
    endingFailure = failure;
    say(tr("USB Timeout\nCheck USB Cable"));
    if (failure.kind == Failure::Kind::AccessDenied)
        say(FailureText::sentence(failure.kind));
    return false;
}

// Shows the serial string and the bootloader version texts, and learns the
// mode from the serial string.
bool FirmwareChange::identify(DeviceMode *mode)
{
    const QByteArray serial = serialString();
    serialAtStart = serial;
    say(QString::fromLatin1(serial));

    QByteArray block(VersionBlock::Size, '\0');
    if (usb.ReadMemory(block, VersionBlock::Address) != 0) {
        say(tr("Bootloader Version Read Error"));
        return false;
    }
    say(QString::fromLatin1(VersionBlock::version(block)));
    say(QString::fromLatin1(VersionBlock::date(block)));
    // A device with another key would take the new pages as noise while our
    // own read-back still matched: stop before the reset and the first write.
    if (!VersionBlock::isPlain(block)) {
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
    Failure failure;
    for (int attempt = 1; attempt <= BootloaderAttempts && !bootloaderFound; ++attempt) {
        if (failure = usb.tryConnect(); !failure.failed() && showsBootloaderMark(serialString()))
            bootloaderFound = true;
        else
            wait(BootloaderRetryWait);
    }
    if (!bootloaderFound) {
        endingFailure = failure;
        say(tr("USB timout\nCheck USB cable"));
        if (failure.kind == Failure::Kind::AccessDenied)
            say(FailureText::sentence(failure.kind));
        return false;
    }

    say(tr("Disconnect"));
    usb.disconnect();
    say(tr("Connect"));
    usb.connect(); // a failure here is made up by the next transfer's reconnection
    say(tr("Serial:") + QString::fromLatin1(serialString()));
    return true;
}

// Writes every page and reads it back. A page that cannot be written ends
// the change; a page that cannot be read back or reads back differently is
// reported and the change goes on. A write or read-back that fails on the
// way (the unit left the bus, a transfer timed out) is tried again once the
// unit answers, a few times, before it counts.
bool FirmwareChange::writeApplication(const QByteArray &region)
{
    constexpr int PageSize = USBVT350::PageSize;
    const int size = region.size();
    unsigned char plain[PageSize];
    for (int offset = 0; offset < size;) {
        if (stopNow())
            return false;
        const int length = std::min(PageSize, size - offset);
        std::memset(plain, 0xFF, PageSize);
        std::memcpy(plain, region.constData() + offset, size_t(length));

        const quint32 address = UpgradeImage::ApplicationAddress + quint32(offset);
        bool written = false;
        const PageCheck check = writePage(address, plain, &written);
        if (!written) {
            say(tr("ERROR"));
            return false;
        }
        if (check != PageCheck::Same) {
            say(tr("ERROR"));
            everyPageVerified = false;
        }

        offset += length;
        if (callbacks.percent)
            callbacks.percent(int(qint64(offset) * 100 / size));
    }
    return true;
}

FirmwareChange::PageCheck FirmwareChange::writePage(quint32 address, const unsigned char *plain, bool *written)
{
    const qint64 lastGood = clock.now();
    PageCheck check = PageCheck::ReadFailed;
    *written = false;
    for (int attempt = 1; attempt <= PageAttempts; ++attempt) {
        // The failed transfer has dropped the connection.
        if (attempt > 1 && (stopNow() || !usb.awaitReturn(recoveryClock, lastGood)))
            break;
        unsigned char page[USBVT350::PageSize];
        std::memcpy(page, plain, USBVT350::PageSize); // scrambled in place by the write
        *written = usb.WritePage(page, address) == 0;
        if (!*written) {
            qDebug() << "page write ERROR";
            continue;
        }
        qDebug() << "page write OK";
        check = checkPage(address, plain);
        if (check != PageCheck::ReadFailed)
            break;
    }
    return check;
}

// The read-back of one page: ReadMemory of the whole page, compared with
// the plain bytes that were (or should have been) written.
FirmwareChange::PageCheck FirmwareChange::checkPage(quint32 address, const unsigned char *plain)
{
    unsigned char readBack[USBVT350::PageSize];
    if (usb.ReadMemory(readBack, address, USBVT350::PageSize) != 0) {
        qDebug() << "page read ERROR";
        return PageCheck::ReadFailed;
    }
    return std::memcmp(readBack, plain, USBVT350::PageSize) == 0 ? PageCheck::Same : PageCheck::Differs;
}

// The read-back of the external flash region, plain->size() bytes from its
// start, descrambled into *plain; the transfer's result.
int FirmwareChange::readBackExternalFlash(QByteArray *plain, Failure *failure)
{
    if (usb.ReadExternalFlashFromAddress(*plain, ExternalFlashAddress, recoveryClock, failure) != 0)
        return -1;
    DecodeBuffer(*plain);
    return 0;
}

FirmwareChange::Comparison FirmwareChange::compare(const UpgradeFile::Contents &contents)
{
    using Result = Comparison::Result;
    forgetLastRun();
    Comparison comparison;
    usb.disconnect();
    if (!connectFirstTime())
        return comparison;
    const PortPin pin(usb);
    unitPort = usb.connectedPortPath();
    serialAtStart = serialString();
    comparison.mode = deviceModeOf(serialAtStart);
    const auto done = [&](Result result, quint32 address = 0) {
        usb.disconnect();
        comparison.result = result;
        comparison.address = address;
        return comparison;
    };
    if (comparison.mode == DeviceMode::Unknown)
        return done(Result::NotIdentified);

    QByteArray image = contents.scrambledImage;
    DecodeBuffer(image);
    const QByteArray application = image.mid(UpgradeImage::ApplicationOffset, UpgradeImage::ApplicationSize);
    constexpr int PageSize = USBVT350::PageSize;
    unsigned char plain[PageSize];
    for (int offset = 0; offset < application.size(); offset += PageSize) {
        if (stopNow())
            return done(Result::Stopped);
        // The page as the change writes it: the file's bytes, FF after them.
        const int length = std::min(PageSize, int(application.size()) - offset);
        std::memset(plain, 0xFF, PageSize);
        std::memcpy(plain, application.constData() + offset, size_t(length));
        const quint32 address = UpgradeImage::ApplicationAddress + quint32(offset);
        switch (checkPage(address, plain)) {
        case PageCheck::Same:
            break;
        case PageCheck::Differs:
            return done(Result::PageDiffers, address);
        case PageCheck::ReadFailed:
            return done(Result::ReadFailed, address);
        }
    }
    if (stopNow())
        return done(Result::Stopped);

    const QByteArray external = image.mid(UpgradeImage::ExternalFlashOffset, UpgradeImage::ExternalFlashSize);
    QByteArray readBack(external.size(), '\0');
    Failure failure;
    if (readBackExternalFlash(&readBack, &failure) != 0)
        return done(failure.kind == Failure::Kind::Stopped ? Result::Stopped : Result::ReadFailed);
    const auto differing = std::mismatch(external.begin(), external.end(), readBack.begin());
    if (differing.first != external.end()) {
        const int offset = int(differing.first - external.begin());
        return done(Result::ChunkDiffers,
                    ExternalFlashAddress + quint32(offset - offset % USBVT350::ExtFlashReadChunk));
    }
    return done(Result::Identical);
}

// Nothing when the region was written and read back equal; otherwise how
// the change ended.
std::optional<FirmwareChange::Outcome> FirmwareChange::writeAndVerifyExternalFlash(const QByteArray &region)
{
    if (region.isEmpty() || region.size() % 4 != 0) {
        qDebug() << "length error" << region.size();
        return Outcome::ExternalFlashFailed;
    }
    Failure failure;
    auto failed = [this, &failure] {
        endingFailure = failure;
        if (failure.kind == Failure::Kind::Stopped)
            return Outcome::Stopped; // not a fault: the verdict says it
        say(tr("Error"));
        return USBVT350::unitLost(failure) ? Outcome::StoppedAnswering : Outcome::ExternalFlashFailed;
    };

    QByteArray scrambled = region;
    EncodeBuffer(scrambled);
    say(tr("Writting External Flash ... "));
    mark("external-flash-write-start");
    if (usb.WriteExternalFlashToAddress(scrambled, ExternalFlashAddress, recoveryClock, &failure) != 0)
        return failed();

    say(tr("OK"));
    mark("external-flash-write-end");
    if (stopNow())
        return Outcome::Stopped;
    say(tr("Verify External Flash ...  "));
    mark("external-flash-verify-start");
    QByteArray readBack(region.size(), '\0');
    if (readBackExternalFlash(&readBack, &failure) != 0)
        return failed();
    if (readBack != region) {
        say(tr("Error"));
        say(tr("read_buffer"));
        say(QString::fromLatin1(HexDump(readBack)));
        say(tr("ext_datas.data()"));
        say(QString::fromLatin1(HexDump(region)));
        return Outcome::ExternalFlashDiffers;
    }
    return std::nullopt;
}
