#pragma once

#include "usb/Failure.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

#include <cstdint>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

// USB transport on libusb-1.0: finds the device by vendor id, product id and
// the reply to the device-id request (vendor request 255), opens it, selects
// configuration 1, claims interface 0 and carries vendor control transfers
// (request types 0x40 OUT / 0xC0 IN, 2000 ms timeout) and bulk transfers
// (endpoints 0x02 OUT / 0x81 IN).
//
// Connection is lazy: a control transfer made while Closed first scans the
// buses; a control transfer that fails drops the connection, so the next one
// connects afresh. Failures are -1 (bulk transfers pass the libusb error
// through); diagnostics go to qDebug only.
//
// Pinning: a device object pinned to a port path (pinToPort) connects, also
// lazily and on every reconnection after a reset, only to the device at that
// port, so it finds the same physical device again after it re-enumerated
// with a new address. An unpinned object takes the first device found.
//
// Each device object has its own non-recursive transport lock, which
// serialises every use of its USB handle by any thread (the window and its
// firmware worker share one object, so their transfers never overlap).
// Every public operation takes it for its whole duration; the private ones
// named ...Private expect it to be held already. Objects for different
// devices work in parallel; they share only the libusb context.
class UsbDevice : public QObject
{
    Q_OBJECT

public:
    // A device with the wanted vendor and product ids, as a scan finds it.
    struct Location {
        QString portPath; // "bus-port.port...", as Linux names it, e.g. "1-1.4"
        int bus = 0;
        int address = 0;
    };

    UsbDevice();
    ~UsbDevice() override;

    // Every device with these ids on the buses, in the order connect() tries
    // them (bus number, then address). Opens nothing.
    static QList<Location> findAll(uint16_t vid, uint16_t pid);
    // The same on a libusb context of the caller's own.
    static QList<Location> findAll(uint16_t vid, uint16_t pid, libusb_context *context);

    // The port path of a device as Linux names it: bus number, '-', the port
    // numbers from the root hub joined by '.'.
    static QString portPathOf(libusb_device *device);

    // Connect only to the device at this port path from now on (an empty
    // path: the first device found, as by default). Takes effect at the next
    // connection; an open handle stays open.
    void pinToPort(const QString &portPath);
    QString pinnedPort() const;

    void setVidPid(uint16_t vid, uint16_t pid);
    void setDeviceId(uint16_t id);

    // Scans all buses (bus number, then device address, ascending) and takes
    // the first device that passes every test (and sits at the pinned port,
    // when pinned). 0 connected, -1 none found.
    // While Open, the handle is closed first and the scan runs again.
    int connect();
    // The same, saying why no device was taken: NoDevice, or AccessDenied /
    // Busy (with the port path) when a device with the right ids was there
    // but the system would not let this user open it (on Linux, the udev
    // rule is missing) or another program had claimed its interface.
    Failure tryConnect();
    // How the device-id request failed at the last connect, for a device
    // with the ids (at the pinned port) that was opened and claimed but
    // whose request failed as a transfer (timed out, stalled, an I/O
    // error), with its port path; None when no such request failed. A
    // device that answered with another id is no Vt520 and is not counted.
    Failure identityFailure() const;

    // Releases the interface and closes the handle; logs "USB Disconnect"
    // even when Closed.
    void disconnect();

    // True while a device is open.
    bool isConnected();

    // The port path of the device open now; empty while Closed. A firmware
    // change learns here where to look for the unit after its restart.
    QString connectedPortPath() const;

    // How many connections this object has made so far (lazy ones and
    // reconnections after a failed transfer included): a sequence tells by
    // it whether the unit was reached afresh since a point of its own.
    quint64 connectionCount() const;

    // bRequest, wValue and wIndex are cut to 8, 16 and 16 bits.
    // Results: bytes moved (>= 0) or -1.
    int control_send(int bRequest, int wValue, int wIndex, const unsigned char *data, int length);
    int control_receive(int bRequest, int wValue, int wIndex, unsigned char *data, int length);
    // The same with a byte array: its size is the length.
    int control_send(int bRequest, int wValue, int wIndex, const QByteArray &data);
    int control_receive(int bRequest, int wValue, int wIndex, QByteArray &data);
    // The same transfers, saying why they failed: the failure of a lazy
    // connect, or that of the transfer with its request, address
    // (wValue | wIndex << 16) and port. The value is the byte count.
    FailureOr<int> sendControl(int bRequest, int wValue, int wIndex, const unsigned char *data, int length);
    FailureOr<int> receiveControl(int bRequest, int wValue, int wIndex, unsigned char *data, int length);

    // Bulk transfers never connect, never log and never drop the connection.
    // Bytes moved, -1 when Closed / no buffer / length < 1, or the negative
    // libusb error unchanged.
    int bulk_write(const unsigned char *data, int length);
    int bulk_read(unsigned char *data, int length);

    // Serial string (string descriptor 3) as 8-bit characters; empty while
    // Closed or when the read fails.
    QByteArray getSerialString();

private:
    // The same with the transport lock held by the caller.
    Failure connectPrivate();
    void disconnectPrivate();
    FailureOr<int> control_receivePrivate(int bRequest, int wValue, int wIndex, unsigned char *data, int length);
    // A failed control transfer: the connection dropped, the failure told.
    Failure transferFailedPrivate(int libusbResult, uint8_t request, uint16_t value, uint16_t index);
    void releaseAndClosePrivate();

    uint16_t productId = 0;
    uint16_t vendorId = 0;
    uint16_t deviceId = 0;
    mutable QMutex transportLock;
    libusb_device_handle *handle = nullptr;
    QString pinnedPortPath;
    QString openPortPath;
    Failure failedIdentity;
    quint64 connections = 0;
};
