#ifndef WLANMGRD_EVENTS_H
#define WLANMGRD_EVENTS_H

class HostapdAgent;

namespace wlanmgrd {

// What the host does for an event of the library. The callbacks only queue the request; the
// main loop carries it out, one at a time, so a start, a stop and the shutdown never overlap.
enum class Request : unsigned char {
    kSwitchOn = 1,  // HA_WLAN_EVT_WLAN_ON
    kSwitchOff,     // HA_WLAN_EVT_WLAN_OFF with 1, HA_WLAN_EVT_AUTO_DOWN
    kRestart,       // HA_WLAN_EVT_WLAN_OFF with 3
    kToggle,        // HA_WLAN_EVT_KEY_CLICK
};

// Opens the request queue and registers the count-down callback and one event callback.
// Returns false on failure.
bool InstallEventCallbacks();

// Unregisters the callbacks and ends the registry.
void RemoveEventCallbacks();

// Readable while requests wait.
int RequestFd();

// Takes the next waiting request; false when none waits.
bool TakeRequest(Request* request);

// Carries a request out on the agent: StartSpy, StopSpy, both, or whichever the switch state
// calls for.
void CarryOut(HostapdAgent* agent, Request request);

const char* RequestName(Request request);

}  // namespace wlanmgrd

#endif
