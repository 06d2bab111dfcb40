// Region, band and client queries: the supported regions, whether the configured country allows
// the 5 GHz band, and the MAC address of the station a web session comes from.
#include <pthread.h>
#include <string.h>

#include "hostapd_agent.h"
#include "sta_list.h"
#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"
#include "wlan_config.h"
#include "wlan_region.h"

namespace {

// These policies name the fields of the replies; the handlers read no request.
enum ClientMacPolicyField { CLIENT_MAC_MAC, CLIENT_MAC_POLICY_MAX };
const blobmsg_policy client_mac_policy[CLIENT_MAC_POLICY_MAX] = {
    {"client_mac", BLOBMSG_TYPE_STRING},
};

enum Support5GPolicyField { SUPPORT_5G_IF_SUPPORT, SUPPORT_5G_POLICY_MAX };
const blobmsg_policy support_5g_policy[SUPPORT_5G_POLICY_MAX] = {
    {"if_support_5G", BLOBMSG_TYPE_INT32},
};

enum RegionListPolicyField { REGION_LIST_NUM, REGION_LIST_LIST, REGION_LIST_POLICY_MAX };
const blobmsg_policy region_list_policy[REGION_LIST_POLICY_MAX] = {
    {"list_num", BLOBMSG_TYPE_INT32},
    {"list", BLOBMSG_TYPE_ARRAY},
};

// The session IP comes from the web server through uci.
constexpr const char* kAuthedIpCommand = "uci get webserver_var.session.authed_ip";

}  // namespace

// The MAC address of the station that the web interface's authenticated session comes from;
// empty when the session address belongs to no station (a wired client) or there is no session.
int ubus_wlan_get_client_mac(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                             blob_attr*) {
    WLAN_TRACE("ubus_wlan_get_client_mac");
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kUaThenAgent)) return -1;

    char ip_addr[64] = "";
    ShellPipe pipe;
    if (!pipe.Open(kAuthedIpCommand)) {
        WLAN_LOG5("%s %d: get authed_ip fail", __func__, __LINE__);
        return -1;
    }
    if (!pipe.ReadLine(ip_addr, sizeof(ip_addr))) ip_addr[0] = '\0';
    pipe.Close();
    ip_addr[strcspn(ip_addr, "\n")] = '\0';
    WLAN_TRACE("%s %d: ip_addr: %s", __func__, __LINE__, ip_addr);

    StaList* sta_list = call.agent()->GetStaList();
    if (sta_list == nullptr) {
        WLAN_LOG5("sta_list is null\n");
        return -2;
    }
    char mac[18] = "";
    // Without a session address there is nothing to look for: a station whose address is not
    // known yet has an empty IP text, which must not pass for the session's.
    if (ip_addr[0] != '\0') {
        sta_list->_Lock();
        for (StaListItem* sta = sta_list->_GetFirst(); sta != nullptr; sta = sta->GetNext()) {
            if (strcmp(sta->GetIP(), ip_addr) == 0) {
                copy_text(mac, sta->GetMAC());
                break;
            }
        }
        sta_list->_Unlock();
    }
    call.AddString("client_mac", mac);
    WLAN_TRACE("Send a ubus reply.\n");
    call.Send();
    WLAN_TRACE("ubus_wlan_get_client_mac LEAVE");
    return 0;
}

// Whether the configured country allows any 5 GHz channel.
int ubus_wlan_get_5G_support(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                             blob_attr*) {
    WLAN_TRACE("ubus_wlan_get_5G_support ENTRY");
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kUaLogged)) return -1;

    pthread_mutex_lock(&UbusAssistant::wlan_conf_lock);
    wlan_mgr_bss_config* bss = nullptr;
    wlan_mgr_get_config(&bss, kHostapdConfPath);
    const char* country = bss != nullptr ? bss->country : "";
    char chan_5g[WLAN_REGION_CHAN_5G_SIZE];
    chan_5g[0] = '\0';
    get_chan_5G(country, chan_5g);
    WLAN_TRACE("bss->country: %s, chan_5G: %s", country, chan_5g);
    call.AddInt32("if_support_5G", chan_5g[0] != '\0' ? 1 : 0);
    WLAN_TRACE("Send a ubus reply.\n");
    call.Send();
    wlan_mgr_free_config(&bss);
    pthread_mutex_unlock(&UbusAssistant::wlan_conf_lock);
    WLAN_TRACE("ubus_wlan_get_5G_support LEAVE");
    return 0;
}

// Every row of the region table, in table order.
int ubus_wlan_get_region_info_list(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                                   blob_attr*) {
    const region_regulation_entry* table = get_region_regulation();
    WLAN_TRACE("ubus_wlan_get_region_info_list ENTRY");
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kUaTraced)) return -1;

    call.AddInt32("list_num", WLAN_REGION_COUNT);
    void* list = call.OpenArray("list");
    for (int i = 0; i < WLAN_REGION_COUNT; ++i) {
        const region_regulation_entry& row = table[i];
        void* entry = call.OpenTable(nullptr);
        call.AddString("country", row.country);
        call.AddString("cout_code", row.cout_code);
        call.AddInt32("timezone", row.timezone);
        call.AddInt32("index", row.index);
        call.AddInt32("start_chan_2G", row.start_chan_2G);
        call.AddInt32("end_chan_2G", row.end_chan_2G);
        call.AddString("chan_5G", row.chan_5G);
        call.Close(entry);
    }
    call.Close(list);
    call.Send();
    WLAN_TRACE("ubus_wlan_get_region_info_list LEAVE");
    return 0;
}

namespace {

const ubus_method region_methods[] = {
    UBUS_METHOD("wlan_get_client_mac", ubus_wlan_get_client_mac, client_mac_policy),
    UBUS_METHOD("wlan_get_5G_support", ubus_wlan_get_5G_support, support_5g_policy),
    UBUS_METHOD("wlan_get_region_info_list", ubus_wlan_get_region_info_list, region_list_policy),
};

}  // namespace

const MethodGroup region_method_group = WLAN_METHOD_GROUP(region_methods);
