#ifndef WLAN_AGENT_WPS_STATE_H
#define WLAN_AGENT_WPS_STATE_H

#include <stdint.h>

#include <mutex>

#include "wpscli.h"

class HostapdAgent;

// The WPS worker thread (wps_worker.cpp): while WPS is enabled it waits for a requested session
// (woken by the request, nothing else) and runs it. BcmWPSEnable starts it, BcmWPSDisable stops
// it and waits for it.
// Each worker takes the next generation number when it starts and ends as soon as workers are
// no longer wanted or a newer worker exists, so a quick disable and enable never leaves two
// workers polling the same agent. A worker touches its agent only while it is counted alive.

enum class WpsWorkerStart {
    kStarted,
    kCreateFailed,  // the thread could not be created: no worker runs
    kDetachFailed,  // the thread could not be detached: it was told to end and has ended
};

// Wants workers from now on, counts a new worker alive and starts its thread for the agent.
WpsWorkerStart wps_worker_start(HostapdAgent* agent);
// Wants no more workers: each waiting one ends at once, one in a session when the session ends.
void wps_workers_stop();
// Wakes the workers after the agent's _wps_on has been set, so that the session starts.
void wps_workers_session_requested();
// Whether workers are wanted (after wps_worker_start, until wps_workers_stop).
bool wps_workers_wanted();
// The number of worker threads that have not finished yet.
int32_t wps_workers_alive();

// True on a WPS worker thread (where waiting for the workers to end would wait for itself).
bool wps_is_worker_thread();

// Waits until no worker thread is left or timeout_ms has passed. True when none is
// left. For the owner of an agent that is about to be destroyed, and for tests.
bool wps_wait_workers_ended(unsigned timeout_ms);

// PIN of the requested session: 8 characters, "00000000" for a push-button session; a longer
// text is cut to 8. Set before the agent's _wps_on is set; the worker reads it only after it
// has seen _wps_on set.
constexpr int kWpsPinLength = 8;
void wps_set_session_pin(const char* pin);

// Network settings handed to the WPS library by address; the radio start fills them.
brcm_wpscli_nw_settings* wps_network_settings();

// Serialises the recording of WPS outcomes (wps_session.cpp). The worker holds it across "is
// the session still open?" and its report, so an outcome reported meanwhile by another thread
// (the timeout when the spy stops) is never overwritten by the worker's late result. Recursive:
// the holder may record the outcome itself.
std::unique_lock<std::recursive_mutex> wps_outcome_lock();

// How the worker runs a session for a PIN text.
enum class WpsPinMode {
    kInvalid,     // not a valid PIN: the session fails without calling the library
    kPushButton,  // "00000000"
    kPin,         // 8 decimal digits whose WPS checksum holds
};

// Checks a PIN: exactly 8 characters; "00000000" selects push button; otherwise 8 decimal
// digits with 3 * (d1 + d3 + d5 + d7) + (d2 + d4 + d6 + d8) a multiple of 10.
WpsPinMode wps_pin_mode(const char* pin);

#endif
