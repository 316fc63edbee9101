#pragma once

#include <QtGlobal>

// The values last entered in the memory service dialogs, each the default of
// its dialog on the next use. One set for the program: kept until it ends,
// also across the main window being rebuilt for another language, and never
// saved anywhere.
struct ServiceDialogValues {
    quint32 memoryReadAddress = 0x08000000;
    int memoryReadLength = 256;
    int pageFillValue = 0;
    quint32 extFlashWriteAddress = 0;
    int extFlashWriteLength = 1;
    quint32 extFlashFillData = 1;
    quint32 extFlashReadAddress = 0;
    int extFlashReadLength = 512;

    static ServiceDialogValues &remembered();
};
