#include "agent/wlan_settings.h"
#include "hostapd_agent.h"
#include "util/log.h"

std::atomic<bool> HostapdAgent::sta_associated_yet{false};

// The system auto-down time applies only until the first station associates, and only when it
// is the shorter of the two.
int HostapdAgent::SetAutoDisTime() {
    long user_time = _get_wlan_auto_down_time();
    long system_time = _get_wlan_auto_down_time_system();
    int32_t stations = _sta_list->GetNum();
    if (stations != 0 || sta_associated_yet || user_time < system_time) {
        wlan_syslog("HostapdAgent::SetAutoDisTime: Set auto down time [%ld] sec(s)", user_time);
        SetWlanCountDown(user_time);
    } else {
        wlan_syslog("HostapdAgent::SetAutoDisTime: Set system auto down time [%ld] sec(s)",
                    system_time);
        SetWlanCountDown(system_time);
    }
    if (stations != 0) return stations;
    StopCountDown();
    return StartCountDown();
}
