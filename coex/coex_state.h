#ifndef WLAN_COEX_COEX_STATE_H
#define WLAN_COEX_COEX_STATE_H

#include <stdint.h>

#include <atomic>

#include "wlan_coex.h"

// The agent whose lte_coex state the coexistence functions use, set only by
// bcm_lte_coex_set_shadow_agent, which the host calls; or null after logging
// "LTE_COEX: shadow agent is NULL" at level 5.
HostapdAgent* coex_agent_or_log();

// The lte_coex fields are shared by the bus thread (LTE reports) and the thread that starts the
// radio, without a lock: each one is read and written whole.
template <typename T>
inline T coex_load(const T& field) {
    return __atomic_load_n(&field, __ATOMIC_RELAXED);
}
template <typename T, typename V>
inline void coex_store(T& field, V value) {
    __atomic_store_n(&field, static_cast<T>(value), __ATOMIC_RELAXED);
}

// The request that makes the platform restart Wi-Fi when the operating channel collides with
// the LTE band: ubus_restart_wlan. Tests put a recorder in its place to see the request without
// a platform on the bus; the function returns the request it replaces.
using CoexRestartRequest = int (*)(void);
CoexRestartRequest coex_set_restart_request(CoexRestartRequest request);

#endif
