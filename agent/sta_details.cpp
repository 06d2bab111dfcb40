#include "agent/spy_state.h"
#include "hostapd_agent.h"
#include "util/log.h"
#include "util/shell.h"

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
    ShellPipe pipe;
    if (!pipe.Open(spy_cmd)) {
        wlan_errlog(WLAN_PRIO_ERROR, "Read %s failed!\n", spy_cmd);
        return -1;
    }
    char line[kSpyLineSize];
    while (pipe.ReadWholeLine(line, sizeof(line))) {
        char mac[18];
        spy_line_mac(line, mac, sizeof(mac));
        if (mac[0] == '\0') continue;
        StaListItem key;
        key.SetMAC(mac);
        _sta_list->AddSta(&key);
    }
    pipe.Close();
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
