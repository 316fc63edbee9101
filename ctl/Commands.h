#pragma once

class Console;
struct CtlOptions;

// The commands of vt520ctl, as CommandTable runs them. Each returns its exit
// status (ExitStatus.h).
namespace Commands {

int list(const CtlOptions &options, Console &console);
int status(const CtlOptions &options, Console &console);
int readMemory(const CtlOptions &options, Console &console);
int readFlash(const CtlOptions &options, Console &console);
int writeFlash(const CtlOptions &options, Console &console);
int programsGet(const CtlOptions &options, Console &console);
int programsSet(const CtlOptions &options, Console &console);
int scenesGet(const CtlOptions &options, Console &console);
int scenesSet(const CtlOptions &options, Console &console);
int upgrade(const CtlOptions &options, Console &console);     // one unit, or upgradeMany
int upgradeMany(const CtlOptions &options, Console &console); // --all or several --device
int start(const CtlOptions &options, Console &console);
int verify(const CtlOptions &options, Console &console);
int info(const CtlOptions &options, Console &console);
int makeUpgrade(const CtlOptions &options, Console &console);
int makeBootloaderImages(const CtlOptions &options, Console &console);

} // namespace Commands
