// Placeholders to be deleted: weak definitions of members that other parts of the library
// define (radio start and stop, WPS, bus connection). They only let the library link until the
// real definitions exist; a real definition replaces its placeholder at link time.
#include "hostapd_agent.h"
#include "ubus_assistant.h"

#define WLAN_PLACEHOLDER __attribute__((weak))

WLAN_PLACEHOLDER int HostapdAgent::BcmWLStart() { return -1; }
WLAN_PLACEHOLDER int HostapdAgent::BcmWLStop() { return 0; }
WLAN_PLACEHOLDER int HostapdAgent::ConnectUbus() { return -1; }
WLAN_PLACEHOLDER int HostapdAgent::DisconnectUbus() { return 0; }
WLAN_PLACEHOLDER int HostapdAgent::CancelWPS() { return -1; }
WLAN_PLACEHOLDER void HostapdAgent::HandleWPSMsg(const char*) {}
WLAN_PLACEHOLDER int32_t HostapdAgent::GetLastWPSResult() { return _last_wps_result; }
WLAN_PLACEHOLDER void UbusAssistant::CastEvent(const char*, const char*, const char*) {}
WLAN_PLACEHOLDER void UbusAssistant::OnApStartFailure() {}
WLAN_PLACEHOLDER void UbusAssistant::OnApFWError() {}
