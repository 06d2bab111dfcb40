#ifndef WLAN_AGENT_COUNTDOWN_H
#define WLAN_AGENT_COUNTDOWN_H

// The countdown ticks once a minute on a POSIX timer (SIGALRM). The signal handler,
// HostapdAgent::WlanAutoDownTimerCb, only records the tick; a worker thread of the library
// lowers the minute count and, at zero, logs, disarms the timer and raises
// HA_WLAN_EVT_AUTO_DOWN. The worker starts with the first StartCountDown.

// Blocks until the worker has handled every tick recorded so far, starting the worker first
// when it is not running yet. For callers that record ticks themselves (tests).
void countdown_wait_ticks_handled();

// Whether the countdown timer exists and is armed.
bool countdown_timer_armed();

#endif
