#ifndef WLAN_AGENT_WPS_STATE_H
#define WLAN_AGENT_WPS_STATE_H

#include <stdint.h>

#include <atomic>
#include <mutex>

#include "wpscli.h"

class HostapdAgent;

// The WPS worker keeps running while this is 1; BcmWPSEnable sets it, BcmWPSDisable clears it.
extern std::atomic<int32_t> wps_thread_on;

// PIN of the requested session: 8 characters, "00000000" for a push-button session. Written
// before _wps_on is set and read by the worker only after it has seen _wps_on set.
constexpr int kWpsPinLength = 8;
extern char wps_pin[kWpsPinLength + 1];

// Network settings handed to the WPS library by address; the radio start fills them.
extern brcm_wpscli_nw_settings wps_nw_settings;

// Each worker takes the next generation number when it starts and ends as soon as wps_thread_on
// is 0 or a newer worker exists, so a quick disable and enable never leaves two workers polling
// the same agent.
extern std::atomic<uint32_t> wps_worker_generation;

// Number of worker threads that have not finished yet. A worker touches its agent only while
// it is counted here.
extern std::atomic<int32_t> wps_workers_alive;

// Body of the WPS worker thread; the argument is the agent (a null agent ends it at once).
// The caller counts the worker in wps_workers_alive before creating the thread; the worker
// takes itself out of the count as its very last step.
void* wps_worker_main(void* agent);

// True on a WPS worker thread (where waiting for the workers to end would wait for itself).
bool wps_is_worker_thread();

// Waits, polling, until no worker thread is left or timeout_ms has passed. True when none is
// left. For the owner of an agent that is about to be destroyed, and for tests.
bool wps_wait_workers_ended(unsigned timeout_ms);

// Serialises the recording of WPS outcomes. The worker holds it across "is the session still
// open?" and its report, so an outcome reported meanwhile by another thread (the timeout when
// the spy stops) is never overwritten by the worker's late result.
extern std::recursive_mutex wps_outcome_mutex;

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
