#ifndef WLANMGRD_SIGNALS_H
#define WLANMGRD_SIGNALS_H

namespace wlanmgrd {

// SIGTERM and SIGINT only write their number to a pipe; the main loop reads it. Installed before
// the bus loop is initialised, so the loop leaves them in place. Returns false on failure.
bool InstallStopSignals();

// The pipe's read end, readable once a stop signal arrived.
int StopSignalFd();

// The signal that arrived (0 if none yet).
int TakeStopSignal();

}  // namespace wlanmgrd

#endif
