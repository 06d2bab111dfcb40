// The station details sources: the DHCP leases (/var/lib/misc/dnsmasq.leases), after "--" the
// ARP table (/proc/net/arp, a scratch file bound over it) and after "--" the radio's station
// list output, whose stations are listed first (MAC after a 9-character keyword, as
// "assoclist" prints, or 14 when the output starts with "autho_sta_list").
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mount.h>

#include "agent/spy_state.h"
#include "hostapd_agent.h"
#include "sta_list.h"
#include "tests/fuzz/support.h"
#include "util/device_paths.h"

namespace {

constexpr const char* kArpScratch = "/tmp/arp";
HostapdAgent* g_agent = nullptr;

void Put(const char* path, const std::string& text) {
    fuzz::Put(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    Put(kArpScratch, "");
    if (mount(kArpScratch, kArpTablePath, nullptr, MS_BIND, nullptr) != 0) {
        perror("bind over the ARP table");
        exit(1);
    }
    g_agent = new HostapdAgent();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::Parts(data, size, 3);
    Put(kDhcpLeasesPath, parts[0]);
    Put(kArpScratch, parts[1]);
    const int32_t offset = parts[2].rfind("autho_sta_list", 0) == 0 ? 14 : 9;
    for (size_t start = 0; start < parts[2].size();) {
        size_t end = parts[2].find('\n', start);
        if (end == std::string::npos) end = parts[2].size();
        std::string line = parts[2].substr(start, std::min(end - start, kSpyLineSize - 1));
        start = end + 1;
        char mac[18];
        spy_line_mac(offset, line.c_str(), mac, sizeof(mac));
        StaListItem key;
        key.SetMAC(mac);
        if (mac[0] != '\0') g_agent->GetStaList()->AddSta(&key);
    }
    g_agent->GetAllStaHostname();
    g_agent->GetAllStaIP();
    g_agent->ClearAllStaInfo();
    return 0;
}
