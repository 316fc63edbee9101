#include "usb/Failure.h"

#include <libusb.h>

Failure Failure::fromLibusb(int error)
{
    Kind kind = Kind::Refused;
    switch (error) {
    case LIBUSB_ERROR_TIMEOUT:
        kind = Kind::Timeout;
        break;
    case LIBUSB_ERROR_PIPE:
        kind = Kind::Stalled;
        break;
    case LIBUSB_ERROR_NO_DEVICE:
        kind = Kind::Gone;
        break;
    case LIBUSB_ERROR_ACCESS:
        kind = Kind::AccessDenied;
        break;
    case LIBUSB_ERROR_BUSY:
        kind = Kind::Busy;
        break;
    default:
        break;
    }
    return Failure(kind, QString::fromLatin1(libusb_error_name(error)));
}
