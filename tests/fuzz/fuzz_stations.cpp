// The station details sources as the spy's full pass reads them: the DHCP leases
// (/var/lib/misc/dnsmasq.leases), after "--" the ARP table (/proc/net/arp, a scratch file bound
// over it) and after "--" the output of the station-list command (MAC after a 9-character
// keyword, as "assoclist" prints, or 14 when the output starts with "autho_sta_list"); then the
// station list reply. Commands are not run: every command prints the station-list output
// (no_commands.cpp), which the reply's uci look-up of user-given names reads too.
#include <stdio.h>
#include <stdlib.h>
#include <sys/mount.h>

#include "agent/spy_state.h"
#include "hostapd_agent.h"
#include "sta_list.h"
#include "tests/fuzz/support.h"
#include "ubus/sta_list_text.h"
#include "util/device_paths.h"

namespace {

constexpr const char* kArpScratch = "/tmp/arp";
HostapdAgent* g_agent = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    fuzz::Put(kArpScratch, "");
    if (mount(kArpScratch, kArpTablePath, nullptr, MS_BIND, nullptr) != 0) {
        perror("bind over the ARP table");
        exit(1);
    }
    g_agent = new HostapdAgent();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::Parts(data, size, 3);
    fuzz::Put(kDhcpLeasesPath, parts[0]);
    fuzz::Put(kArpScratch, parts[1]);
    fuzz::g_command_output = parts[2];
    const bool autho = parts[2].rfind("autho_sta_list", 0) == 0;
    publish_spy_command(autho ? "wlarm autho_sta_list" : "wlarm assoclist", autho ? 14 : 9);
    g_agent->BcmGetAllStaMac();  // the steps of UpdateAllStaInfo, which a stopped agent refuses
    g_agent->GetAllStaHostname();
    g_agent->GetAllStaIP();
    StaList* list = g_agent->GetStaList();
    free(sta_list_text(list, list->GetNum()));
    g_agent->ClearAllStaInfo();
    return 0;
}
