#include <stdio.h>
#include <string.h>

#include "agent/line_tokens.h"
#include "agent/sta_sources.h"
#include "hostapd_agent.h"
#include "util/device_paths.h"
#include "util/log.h"

// Fills in host name and IP address of the listed stations from the DHCP leases. With a MAC,
// only the first lease of exactly that MAC text is used.
void HostapdAgent::UpdateSingleStaHost(const char* mac) {
    FILE* file = fopen(kDhcpLeasesPath, "r");
    if (file == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::UpdateSingleStaHost: Open DHCP file failed.");
        return;
    }
    char line[kLeaseLineSize];
    while (read_bounded_line(file, line, sizeof(line))) {
        LeaseEntry lease;
        SourceLine parsed = parse_lease_line(line, &lease);
        if (parsed == SourceLine::kMalformed) {
            wlan_errlog(WLAN_PRIO_ERROR,
                        "HostapdAgent::UpdateSingleStaHost: Parse DHCP data failed.");
            break;
        }
        if (parsed == SourceLine::kUnusable) continue;
        if (mac != nullptr && strcmp(lease.mac, mac) != 0) continue;

        StaListItem key;
        key.SetMAC(lease.mac);
        _sta_list->_Lock();
        StaListItem* station = _sta_list->_FindSta(&key);
        if (station != nullptr) {
            station->SetHostName(lease.host_name);
            station->SetIP(lease.ip);
        }
        _sta_list->_Unlock();
        if (mac != nullptr) break;
    }
    fclose(file);
}
