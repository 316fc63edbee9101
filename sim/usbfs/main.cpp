// vt520-usbfs-run: runs a program against emulated Vt520s behind an emulated
// /sys and /dev/bus/usb (umockdev), so that the program's own libusb-1.0
// finds, opens and drives them through usbfs ioctls as on a real machine.
//
//   vt520-usbfs-run [options] -- COMMAND [ARGS...]
//
// The devices are the emulator's default bus, as with the preloaded emulator:
// VT520_SIM_UNITS units (--devices N sets it) at port paths 1-1 or 1-1.k,
// their state in VT520_SIM_STATE or VT520_SIM_STATE/unitk, here on bus 101.
// Exits with COMMAND's exit status.

#include "sim/Vt520Sim.h"
#include "sim/usbfs/UsbfsTestbed.h"
#include "sim/usbfs/VirtualClockFollower.h"

#include <QByteArray>
#include <QList>

#include <libusb.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char Preload[] = "libumockdev-preload.so.0";

// On standard error after a wrong command line; on standard output for --help.
void usage(FILE *stream = stderr)
{
    fprintf(stream, "usage: vt520-usbfs-run [options] -- COMMAND [ARGS...]\n"
                    "  --devices N                  N emulated Vt520s as VT520_SIM_UNITS=N gives them:\n"
                    "                               one at 101-1, or unit k at 101-1.k (default:\n"
                    "                               VT520_SIM_UNITS, else 1)\n"
                    "  --fail-request R:KIND[:N][@K]\n"
                    "                               N (default: all) vendor requests R fail, from the\n"
                    "                               Kth on (default: the next); KIND: timeout (never\n"
                    "                               answered), stall, io, lost (the unit acts on the\n"
                    "                               request, its answer is lost: a timeout); with @K\n"
                    "                               it may be given more than once for one R\n"
                    "  --unplug-at-transfer N[:MS]  the Nth transfer pulls the device out; back after MS\n"
                    "  --unplug-at-request R[:MS[:N]]\n"
                    "                               the Nth (default: the next) vendor request R pulls\n"
                    "                               the device out; back after MS (default 0)\n"
                    "  --power-on                   units pulled out by --unplug-at-* come back as at\n"
                    "                               power-on (mode by the application's sum, status 0)\n"
                    "                               instead of with their state kept\n"
                    "  --bootloader                 the units start in their bootloader\n"
                    "  --reenumerate-ms MS          every device is back MS after a reset (kept in\n"
                    "                               a state folder)\n"
                    "  --deny-open                  device nodes this user may not open\n"
                    "  --claimed PORT               the device at this port path (e.g. 101-1.1) is held\n"
                    "                               by another program: claiming its interface and\n"
                    "                               setting its configuration fail with EBUSY (may be\n"
                    "                               given more than once)\n"
                    "  --virtual-clock              the units and the command share a virtual clock:\n"
                    "                               the command's waits take no real time, and return\n"
                    "                               once the device nodes show that time (without it,\n"
                    "                               a clock VT520_SIM_CLOCK names is followed the same\n"
                    "                               way)\n"
                    "  --stats                      print the transfers the emulator logged (every one\n"
                    "                               that reached a unit, failed ones included) and the\n"
                    "                               time per answered transfer\n"
                    "  --help                       this text\n");
}

// How units pulled out by an ordered unplug come back.
vt520sim::Return unplugReturn = vt520sim::Return::StateKept;

bool parseFailRequest(const QByteArray &given)
{
    // R:KIND[:N][@K]: the run of N starts at the Kth request R.
    QByteArray text = given;
    int from = 0;
    const int at = text.indexOf('@');
    if (at >= 0) {
        bool ok = false;
        from = text.mid(at + 1).toInt(&ok);
        if (!ok || from < 1)
            return false;
        text.truncate(at);
    }
    const QList<QByteArray> parts = text.split(':');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    bool ok = false;
    const int request = parts[0].toInt(&ok);
    if (!ok || request < 0 || request > 255)
        return false;
    int error = 0;
    if (parts[1] == "timeout")
        error = LIBUSB_ERROR_TIMEOUT;
    else if (parts[1] == "stall")
        error = LIBUSB_ERROR_PIPE;
    else if (parts[1] == "io")
        error = LIBUSB_ERROR_IO;
    else if (parts[1] == "lost")
        error = vt520sim::AnswerLost;
    else
        return false;
    int count = vt520sim::Never;
    if (parts.size() == 3 && (count = parts[2].toInt(&ok), !ok || count < 1))
        return false;
    if (from > 0)
        vt520sim::Bus::instance().failRequestAt(uint8_t(request), from, error, count);
    else
        vt520sim::Bus::instance().failRequest(uint8_t(request), error, count);
    return true;
}

bool parseUnplug(const QByteArray &text)
{
    const QList<QByteArray> parts = text.split(':');
    bool ok = false;
    const int nth = parts[0].toInt(&ok);
    if (!ok || nth < 1 || parts.size() > 2)
        return false;
    int replugMs = 0;
    if (parts.size() == 2 && (replugMs = parts[1].toInt(&ok), !ok || replugMs < 0))
        return false;
    vt520sim::Bus::instance().unplugAtTransfer(nth, replugMs, unplugReturn);
    return true;
}

bool parseUnplugAtRequest(const QByteArray &text)
{
    const QList<QByteArray> parts = text.split(':');
    if (parts.size() > 3)
        return false;
    bool ok = false;
    const int request = parts[0].toInt(&ok);
    if (!ok || request < 0 || request > 255)
        return false;
    int replugMs = 0;
    if (parts.size() >= 2 && (replugMs = parts[1].toInt(&ok), !ok || replugMs < 0))
        return false;
    int occurrence = 1;
    if (parts.size() == 3 && (occurrence = parts[2].toInt(&ok), !ok || occurrence < 1))
        return false;
    vt520sim::Bus::instance().unplugAtRequest(uint8_t(request), occurrence, replugMs, unplugReturn);
    return true;
}

// Root ignores file modes; without these two capabilities it meets them
// like any user, so that a node of mode 000 refuses it.
void dropFileAccessOverride()
{
    if (geteuid() != 0)
        return;
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
}

volatile pid_t commandPid = 0;

void passOnSignal(int signalNumber)
{
    if (commandPid > 0)
        kill(commandPid, signalNumber);
}

// This process runs under the preload too: the uevents it sends for plugs
// and unplugs go through a libudev that must see the testbed. The command
// inherits the same LD_PRELOAD, after any preload the caller gave (a
// sanitizer runtime must stay first): this program's own preload, then
// umockdev's, whose uevent sockets ours gives a name of each process's own.
void runUnderPreload(char **argv)
{
    const QByteArray given = qgetenv("LD_PRELOAD");
    if (given.contains(Preload))
        return;
    const QByteArray ours = QByteArray(VT520_USBFS_PRELOAD) + " " + Preload;
    const QByteArray preload = given.isEmpty() ? ours : given + " " + ours;
    setenv("LD_PRELOAD", preload.constData(), 1);
    execv("/proc/self/exe", argv);
    fprintf(stderr, "vt520-usbfs-run: cannot restart under %s: %s\n", Preload, strerror(errno));
    exit(2);
}

} // namespace

int main(int argc, char **argv)
{
    runUnderPreload(argv);

    // Before the bus is made: it takes its clock from the environment.
    bool ownClock = false;
    for (int i = 1; i < argc && strcmp(argv[i], "--") != 0; ++i)
        ownClock = ownClock || strcmp(argv[i], "--virtual-clock") == 0;
    vt520usbfs::VirtualClockFollower clock(ownClock);
    if (ownClock && !clock.isFollowing()) {
        fprintf(stderr, "vt520-usbfs-run: cannot make a virtual clock\n");
        return 2;
    }

    // The units first: the faults below are set on the bus they make.
    int devices = -1;
    for (int i = 1; i + 1 < argc && strcmp(argv[i], "--") != 0; ++i) {
        if (strcmp(argv[i], "--power-on") == 0) // before the unplugs it changes, wherever given
            unplugReturn = vt520sim::Return::PowerOn;
        if (strcmp(argv[i], "--devices") == 0) {
            bool ok = false;
            devices = QByteArray(argv[i + 1]).toInt(&ok);
            if (!ok || devices < 1 || devices > 15) {
                usage();
                return 2;
            }
        }
    }
    if (devices > 0) {
        setenv("VT520_SIM_UNITS", QByteArray::number(devices).constData(), 1);
        vt520sim::Bus::instance().resetToDefault();
    }

    bool denyOpen = false;
    QList<QByteArray> claimed;
    bool stats = false;
    int first = -1;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--") {
            first = i + 1;
            break;
        } else if (arg == "--devices" && hasValue) {
            ++i; // taken above
        } else if (arg == "--power-on") {
            // taken above
        } else if (arg == "--fail-request" && hasValue) {
            if (!parseFailRequest(argv[++i])) {
                usage();
                return 2;
            }
        } else if (arg == "--unplug-at-transfer" && hasValue) {
            if (!parseUnplug(argv[++i])) {
                usage();
                return 2;
            }
        } else if (arg == "--unplug-at-request" && hasValue) {
            if (!parseUnplugAtRequest(argv[++i])) {
                usage();
                return 2;
            }
        } else if (arg == "--bootloader") {
            for (vt520sim::Device *device : vt520sim::Bus::instance().devices())
                device->setMode(vt520sim::Mode::Bootloader);
        } else if (arg == "--reenumerate-ms" && hasValue) {
            bool ok = false;
            const int milliseconds = QByteArray(argv[++i]).toInt(&ok);
            if (!ok || milliseconds < 0) {
                usage();
                return 2;
            }
            for (vt520sim::Device *device : vt520sim::Bus::instance().devices())
                device->setReenumerateDelay(milliseconds);
        } else if (arg == "--deny-open") {
            denyOpen = true;
        } else if (arg == "--claimed" && hasValue) {
            claimed.append(argv[++i]);
        } else if (arg == "--virtual-clock") {
            // taken above
        } else if (arg == "--stats") {
            stats = true;
        } else if (arg == "--help") {
            usage(stdout);
            return 0;
        } else {
            usage();
            return 2;
        }
    }
    if (first < 0 || first >= argc) {
        usage();
        return 2;
    }

    vt520usbfs::UsbfsTestbed testbed;
    if (!testbed.isValid()) {
        fprintf(stderr, "vt520-usbfs-run: cannot create the umockdev testbed\n");
        return 2;
    }
    testbed.setNodesDenied(denyOpen);
    testbed.setClaimedElsewhere(claimed);
    testbed.refresh();

    const pid_t child = fork();
    if (child < 0) {
        perror("vt520-usbfs-run: fork");
        return 2;
    }
    if (child == 0) {
        if (denyOpen)
            dropFileAccessOverride();
        execvp(argv[first], argv + first);
        fprintf(stderr, "vt520-usbfs-run: %s: %s\n", argv[first], strerror(errno));
        _exit(127);
    }

    // Interrupts from the terminal reach the command by themselves; a
    // termination is passed on. This process follows the command.
    commandPid = child;
    signal(SIGINT, SIG_IGN);
    signal(SIGQUIT, SIG_IGN);
    signal(SIGTERM, passOnSignal);
    signal(SIGHUP, passOnSignal);
    int status = 0;
    int64_t lookedAt = -1;
    int idleRounds = 0;
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            break;
        if (done < 0 && errno != EINTR) {
            perror("vt520-usbfs-run: waitpid");
            return 2;
        }
        if (!clock.isFollowing()) {
            testbed.refresh();
            usleep(2000);
            continue;
        }
        // A look whenever the clock has moved (a sleeper waits for it), and
        // now and then anyway for what transfers found.
        const int64_t now = clock.microseconds();
        if (now != lookedAt || ++idleRounds >= 8) {
            testbed.refresh();
            clock.lookedAt(now);
            lookedAt = now;
            idleRounds = 0;
        }
        usleep(250);
    }
    // The count is the emulator's own log, so that it matches the figures of
    // the tests that link the emulator directly; URBs that time out or meet
    // a departed unit are in it, though never answered.
    if (stats)
        fprintf(stderr,
                "vt520-usbfs-run: %lld transfers, %d answered, %lld us per answered transfer from submit to reap\n",
                static_cast<long long>(vt520sim::Bus::instance().transferLog().size()),
                testbed.urbBridge().answeredTransfers(),
                static_cast<long long>(testbed.urbBridge().meanTransferMicroseconds()));
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
}
