// Temporary during the build-up: slots whose commands are being written
// elsewhere. Each one moves out of here into its command's file.
#include "app/Vt410_bootloader.h"

void Vt410_bootloader::slotpushButtonCreateUpg(bool) {}
void Vt410_bootloader::slotpushButtonCreateBootBin(bool) {}
void Vt410_bootloader::slotpushButtonCHF(bool) {}
void Vt410_bootloader::slotUpdateProgramScene(int) {}
void Vt410_bootloader::slotpushButtonGetProgramsFromVt410(bool) {}
void Vt410_bootloader::slotpushButtonSetProgramsInVt410(bool) {}
void Vt410_bootloader::slotUpdateScene(int) {}
void Vt410_bootloader::slotpushButtonGetScenesFromVt410(bool) {}
void Vt410_bootloader::slotpushButtonSetScenesInVt410(bool) {}
void Vt410_bootloader::slotpushButtonLoadScenesFromFile(bool) {}
void Vt410_bootloader::slotpushButtonLoadProgramsFromFile(bool) {}
void Vt410_bootloader::slotpushButtonSaveScenesToFile(bool) {}
void Vt410_bootloader::slotpushButtonSaveProgramsToFile(bool) {}
void Vt410_bootloader::slotShowInfo(bool) {}
void Vt410_bootloader::storeProgramTab(int, int) {}
void Vt410_bootloader::showProgramRecord(int, int) {}
void Vt410_bootloader::storeSceneTab(int) {}
void Vt410_bootloader::showSceneRecord(int) {}
