#pragma once

#include "lighting/LightingFile.h"
#include "lighting/LightingTransfer.h"

#include <QString>

class USBVT350;

// A device's programs or scenes table into a .pgm/.scn file in one step:
// read from the device and saved as the window's Get, then Save, write it.
// The file is written only after a complete read. (The other way needs no
// step of its own: LightingFile::load checks the whole file, then
// LightingTransfer::write sends the table.)
class LightingFileTransfer
{
public:
    enum class Status {
        Done,
        SaveFailed,     // the file could not be written (reason says why); the old one is intact
        AcquireFailed,  // the device did not grant access (or none answered)
        TransferFailed, // the external flash read or write failed
    };

    struct Result {
        Status status = Status::Done;
        LightingFile::Status fileStatus = LightingFile::Status::Ok;
        QString reason;
        // Why the device transfer failed (see LightingTransfer::failure).
        Failure failure;
        // The unit may still hold its host-access bit (see
        // LightingTransfer::hostAccessMayBeSet), whatever the status.
        bool hostAccessMayBeSet = false;
    };

    static LightingTransfer::Location locationOf(LightingFile::Kind kind);
    // The outcome of a device transfer as one of these.
    static Status statusOf(LightingTransfer::Status transferStatus);

    static Result getToFile(USBVT350 &usb, LightingFile::Kind kind, const QString &fileName,
                            Clock &clock = Clock::standard());
};
