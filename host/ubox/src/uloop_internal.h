// State shared by the parts of the event loop.
#ifndef UBOX_ULOOP_INTERNAL_H
#define UBOX_ULOOP_INTERNAL_H

extern "C" {
#include "libubox/uloop.h"
}

#include <signal.h>

namespace uloop_internal {

// Installs the loop's signal handlers (SIGINT, SIGTERM, SIGCHLD when asked, SIGPIPE ignored)
// where the signal still has its default action. RestoreSignals gives back the handlers it
// took, SIGCHLD only when asked (as upstream: once the flag is cleared, a SIGCHLD handler that
// was installed while it was set stays, and so does the reaping by a running loop), and gives
// an ignored SIGPIPE its default action.
void InstallSignals(bool handle_sigchld);
void RestoreSignals(bool handle_sigchld);

// Set by the SIGCHLD handler; the loop then reaps children.
bool TakeChildExited();
// Reaps every exited child of the process and runs the callbacks registered for them.
void ReapChildren();

// Signal number that ended the loop, or 0.
int EndingSignal();
void ClearEndingSignal();

// Write end of the pipe that wakes the loop from a signal handler; -1 when there is none.
void SetWakeFd(int fd);

// Timeouts: runs the due ones; milliseconds until the next one (-1: none); drops all.
void RunDueTimeouts();
int MillisecondsToNextTimeout();
void ClearTimeouts();
void ClearProcesses();

}  // namespace uloop_internal

#endif
