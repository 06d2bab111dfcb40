#ifndef WLAN_CTRL_CTRL_WAIT_H
#define WLAN_CTRL_CTRL_WAIT_H

// Milliseconds on the monotonic clock, for deadlines that wall-clock changes do not move.
long long ctrl_now_ms();

// Waits until fd has something to read (a message or a pending error) or timeout_ms has
// passed; a signal does not end the wait early. Uses poll, so any descriptor number works.
// Returns the poll events seen (> 0), 0 on timeout, -1 on failure.
int ctrl_wait_readable(int fd, long long timeout_ms);

#endif
