#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class USBVT350;

// The reads of the service tools, as the window's Read and Read External
// Flash commands and the command line make them, and the text they show.
namespace ServiceRead {

// The longest read the tools offer (1 MiB).
constexpr int MaxLength = 0x100000;

// length bytes of device memory, unscrambled. The buffer is zero-filled
// first, so that bytes a failed read did not deliver show as zeros. Returns
// the ReadMemory result (0 or -1); *bytes is filled either way.
int memory(USBVT350 &usb, quint32 address, int length, QByteArray *bytes);

// length bytes of external flash, descrambled. Returns 0, or -1 with *bytes
// left empty.
int externalFlash(USBVT350 &usb, quint32 address, int length, QByteArray *bytes);

// The dump text of the log pane (HexDump) for the bytes.
QString dumpText(const QByteArray &bytes);

} // namespace ServiceRead
