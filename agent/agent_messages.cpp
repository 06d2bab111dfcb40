#include <stdio.h>
#include <string.h>
#include <time.h>

#include "agent/line_tokens.h"
#include "agent/wlan_settings.h"
#include "hostapd_agent.h"
#include "ubus_assistant.h"
#include "util/log.h"

namespace {

// Takes the second token of a message, the station's MAC address. False when the message has
// fewer than two tokens, or a token longer than its buffer (such a message is dropped).
bool take_mac_token(const char* msg, char (&mac)[128]) {
    TokenReader tokens(msg);
    char event_name[264];
    TokenReader::Result first = tokens.Next(event_name, sizeof(event_name));
    if (first == TokenReader::kNone) return false;
    TokenReader::Result second = tokens.Next(mac, sizeof(mac));
    if (second == TokenReader::kNone) return false;
    if (first == TokenReader::kTooLong || second == TokenReader::kTooLong) {
        WLAN_LOG5("HandleMsg: over-long token, message dropped");
        return false;
    }
    return true;
}

}  // namespace

void HostapdAgent::HandleMsg(const char* msg, int) {
    if (msg == nullptr) return;
    char mac[128];
    if (strstr(msg, "AP-START-FAILURE") != nullptr) {
        wlan_userlog(WLAN_PRIO_ERROR, "AP start failure detected!");
        HandleApStartFailure();
    } else if (strstr(msg, "AP-FW-ERROR") != nullptr) {
        wlan_userlog(WLAN_PRIO_ERROR, "AP FW Error detected!");
        HandleApFWError();
    } else if (strstr(msg, "WPA-AUTH-FAILURE ") != nullptr) {
        if (take_mac_token(msg, mac))
            wlan_userlog(WLAN_PRIO_WARN, "STA [%s] try to connect but failed in authentication",
                         mac);
    } else if (strstr(msg, "AP-STA-CONNECTED ") != nullptr) {
        if (take_mac_token(msg, mac)) NotifyStaChange(HA_WLAN_STA_JOIN, mac);
    } else if (strstr(msg, "AP-STA-DISCONNECTED ") != nullptr) {
        if (take_mac_token(msg, mac)) NotifyStaChange(HA_WLAN_STA_LEFT, mac);
    } else if (strstr(msg, "WPS") != nullptr) {
        HandleWPSMsg(msg);
    }
}

void HostapdAgent::NotifyStaChange(ha_wlan_event_sta_change_type type, const char* mac) {
    if (mac == nullptr) return;
    StaListItem key;
    key.SetMAC(mac);
    switch (type) {
        case HA_WLAN_STA_JOIN: {
            struct timespec now;
            clock_gettime(CLOCK_MONOTONIC, &now);
            char connected[32];
            snprintf(connected, sizeof(connected), "%ld", static_cast<long>(now.tv_sec));
            key.SetConnectedTime(connected);
            key.SetOnlineTime("00:00:00");
            wlan_userlog(WLAN_PRIO_INFO, "STA JOIN [%s]", mac);
            _sta_list->AddSta(&key);
            break;
        }
        case HA_WLAN_STA_LEFT:
            wlan_userlog(WLAN_PRIO_INFO, "STA LEFT [%s]", mac);
            _sta_list->RemoveSta(&key);
            break;
        default:
            wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::NotifyStaChange: Wrong sta change event.");
            return;
    }
    DropArpCache();
    BroadcastStaNum();
}

void HostapdAgent::BroadcastStaNum() {
    int32_t count = _sta_list->GetNum();
    char count_text[32];
    snprintf(count_text, sizeof(count_text), "%d", count);
    wlan_userlog(WLAN_PRIO_INFO, "Current STA num: %d", count);
    if (_ua != nullptr) _ua->CastEvent("wlan_event", "current_sta_num", count_text);
    InvokeEventCbs(HA_WLAN_EVT_STA_NUM, count_text);
    if (count >= 1) {
        StopCountDown();
        sta_associated_yet = true;
        long user_time = _get_wlan_auto_down_time();
        wlan_syslog("HostapdAgent::BroadcastStaNum: Set auto down time [%ld] sec(s)", user_time);
        SetWlanCountDown(user_time);
    } else {
        StartCountDown();
    }
}

void HostapdAgent::HandleApStartFailure() {
    if (_ua == nullptr) return;
    wlan_errlog(WLAN_PRIO_ERROR,
                "HostapdAgent::HandleApStartFailure: Ubus assist to handle AP start failure");
    _ua->OnApStartFailure();
}

void HostapdAgent::HandleApFWError() {
    if (_ua == nullptr) return;
    wlan_errlog(WLAN_PRIO_ERROR,
                "HostapdAgent::HandleApFWError: Ubus assist to handle AP fw error");
    _ua->OnApFWError();
}
