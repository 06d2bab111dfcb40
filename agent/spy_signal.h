#ifndef WLAN_AGENT_SPY_SIGNAL_H
#define WLAN_AGENT_SPY_SIGNAL_H

#include <atomic>

// How StopSpy and the spy thread wake each other instead of polling. One lock serves every
// agent of the process ("the spy signal lock", taken alone): the flags are changed while it is
// held, and each waiter checks its own agent's flag after every wake-up.

// Clears spy_on and wakes the spy threads that sleep between polls.
void spy_signal_stop(std::atomic<bool>& spy_on);

// Sleeps for the given seconds (monotonic clock) or until spy_on is cleared, whichever comes
// first; no other wake-up in between.
void spy_sleep_while_on(const std::atomic<bool>& spy_on, unsigned seconds);

// Clears running and wakes the waiters of spy_wait_ended. After it has cleared the flag it
// touches only the signal's own state, so the agent may be gone the moment the flag is clear.
void spy_signal_ended(std::atomic<bool>& running);

// Waits until running is clear.
void spy_wait_ended(const std::atomic<bool>& running);

#endif
