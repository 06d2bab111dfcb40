#include <stdio.h>
#include <string.h>

#include <mutex>

#include "agent/line_tokens.h"
#include "agent/sta_sources.h"
#include "hostapd_agent.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"

namespace {

// _ifname is written by the ARP pass and read by DropArpCache, possibly on different threads.
std::mutex g_ifname_mutex;

void run_cache_flush(const char* command) {
    int status = shell_status(command);
    if (status != 0)
        wlan_errlog(WLAN_PRIO_WARN, "Drop arp cache failed with ret[%d]. cmd line: %s\n", status,
                    command);
}

}  // namespace

// Sets the IP address of the listed stations from the ARP table, which wins over the leases,
// and learns the stations' network interface. With a MAC, only the first complete entry of
// exactly that MAC text is used.
void HostapdAgent::UpdateSingleStaIP(const char* mac) {
    FILE* file = fopen(kArpTablePath, "r");
    if (file == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::UpdateSingleStaIP: Open ARP file failed.");
        return;
    }
    char line[kArpLineSize];
    if (!read_bounded_line(file, line, sizeof(line))) {
        wlan_errlog(WLAN_PRIO_ERROR,
                    "HostapdAgent::UpdateSingleStaIP: Read ARP table HEADER failed.");
        fclose(file);
        return;
    }
    while (read_bounded_line(file, line, sizeof(line))) {
        ArpEntry arp;
        SourceLine parsed = parse_arp_line(line, &arp);
        if (parsed == SourceLine::kMalformed) {
            wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::UpdateSingleStaIP: Parse ARP data failed.");
            break;
        }
        if (parsed == SourceLine::kUnusable || arp.flags <= 0) continue;
        if (mac != nullptr && strcmp(arp.hw_address, mac) != 0) continue;

        StaListItem key;
        key.SetMAC(arp.hw_address);
        _sta_list->_Lock();
        StaListItem* station = _sta_list->_FindSta(&key);
        if (station != nullptr && strncmp(station->GetIP(), arp.ip, 15) != 0) {
            station->SetIP(arp.ip);
            std::lock_guard<std::mutex> guard(g_ifname_mutex);
            if (arp.device_usable && strcmp(arp.device, _ifname) != 0)
                copy_text(_ifname, arp.device);
        }
        _sta_list->_Unlock();
        if (mac != nullptr) break;
    }
    fclose(file);
}

// Flushes the route cache and the neighbour cache of the stations' interface, so that a station
// that comes back is not served stale entries.
void HostapdAgent::DropArpCache() {
    run_cache_flush("ip route flush cache");
    char ifname[sizeof(_ifname)];
    {
        std::lock_guard<std::mutex> guard(g_ifname_mutex);
        copy_text(ifname, _ifname);
    }
    if (ifname[0] == '\0') return;
    if (!is_ifname_text(ifname)) {
        WLAN_LOG5("DropArpCache: [%s] is not an interface name, not flushed", ifname);
        return;
    }
    char command[64];
    format_bounded(command, sizeof(command), "ip neigh flush dev %s", ifname);
    run_cache_flush(command);
}
