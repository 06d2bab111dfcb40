#include "agent/spy_state.h"
#include "hostapd_agent.h"
#include "util/log.h"

int32_t HostapdAgent::GetStaNum() { return _sta_list->GetNum(); }

StaList* HostapdAgent::GetStaList() {
    UpdateAllStaInfo();
    return _sta_list;
}

// Rebuilds the list from the radio's station list, then completes it from the leases and the
// ARP table. Refused while the agent is not started.
int HostapdAgent::UpdateAllStaInfo() {
    if (!_started) return -1;
    ClearAllStaInfo();
    BcmGetAllStaMac();
    GetAllStaHostname();
    GetAllStaIP();
    return 0;
}

void HostapdAgent::ClearAllStaInfo() { _sta_list->ClearAllStas(); }

int HostapdAgent::BcmGetAllStaMac() {
    const SpyCommand spy = spy_command_snapshot();
    int lines = add_spy_stations(spy, _sta_list);
    if (lines < 0) {
        wlan_errlog(WLAN_PRIO_ERROR, "Read %s failed!\n", spy.spy_cmd);
        return -1;
    }
    return 0;
}

void HostapdAgent::GetAllStaHostname() { UpdateSingleStaHost(nullptr); }

void HostapdAgent::GetAllStaIP() { UpdateSingleStaIP(nullptr); }

void HostapdAgent::UpdateSingleSta(const char* mac) {
    UpdateSingleStaHost(mac);
    UpdateSingleStaIP(mac);
}

void HostapdAgent::CompleteAllStaInfo() { UpdateSingleSta(nullptr); }

void HostapdAgent::PrintStaInfo() {
    if (_started) _sta_list->Print();
}
