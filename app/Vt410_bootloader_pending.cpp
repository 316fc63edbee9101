// Temporary during the build-up: slots whose commands are being written
// elsewhere. Each one moves out of here into its command's file.
#include "app/Vt410_bootloader.h"

