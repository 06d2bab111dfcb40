// Switch, station and WPS methods: switching Wi-Fi on and off, the connected stations and
// their number, and WPS start, cancel and status.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <memory>
#include <thread>

#include "hostapd_agent.h"
#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "ubus/sta_list_text.h"
#include "util/log.h"
#include "util/text.h"

namespace {

enum SwitchPolicyField { SWITCH_SWITCH, SWITCH_POLICY_MAX };
const blobmsg_policy switch_policy[SWITCH_POLICY_MAX] = {
    {"switch", BLOBMSG_TYPE_STRING},
};

enum WpsStartPolicyField { WPS_START_PIN, WPS_START_POLICY_MAX };
const blobmsg_policy wps_start_policy[WPS_START_POLICY_MAX] = {
    {"wps_pin", BLOBMSG_TYPE_STRING},
};

// A WPS PIN has 8 characters ("00000000" asks for a push-button session).
constexpr size_t kWpsPinMax = 8;

// How long a switch request waits for the host to switch the agent before it reads the state.
constexpr std::chrono::seconds kSwitchOffWait(5);
constexpr std::chrono::seconds kSwitchOnWait(10);

// Outcomes of a switch request; the reply is "<code> : <word>".
enum SwitchCode {
    SWITCH_DONE = 0,
    SWITCH_INVALID_OPERATION = -1,
    SWITCH_WRONG_PARA = -2,
    SWITCH_FAILED = -3,
};

const char* SwitchWord(int code) {
    switch (code) {
        case SWITCH_DONE:
            return "Done";
        case SWITCH_INVALID_OPERATION:
            return "Invalid operation of current WLAN status";
        case SWITCH_WRONG_PARA:
            return "Wrong para";
        default:
            return "Operation failed";
    }
}

// The string field at index of the request's arguments, or null when it is missing or not a
// string.
template <int N>
const char* StringArg(const blobmsg_policy (&policy)[N], int index, blob_attr* msg) {
    blob_attr* field[N] = {nullptr};
    if (msg != nullptr) blobmsg_parse(policy, N, field, blob_data(msg), blob_len(msg));
    return field[index] != nullptr ? blobmsg_get_string(field[index]) : nullptr;
}

// Asks the host to switch Wi-Fi; its callbacks answer with StopSpy or StartSpy. Whether the
// agent reached the state is read after a fixed wait, in which the loop serves nothing else.
int RequestSwitch(HostapdAgent* agent, bool on) {
    HostapdAgent::InvokeEventCbs(on ? HA_WLAN_EVT_WLAN_ON : HA_WLAN_EVT_WLAN_OFF,
                                 reinterpret_cast<void*>(1));
    std::this_thread::sleep_for(on ? kSwitchOnWait : kSwitchOffWait);
    return agent->GetWlanOn() == on ? SWITCH_DONE : SWITCH_FAILED;
}

}  // namespace

int ubus_wlan_set_switch(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                         blob_attr* msg) {
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
    const char* text = StringArg(switch_policy, SWITCH_SWITCH, msg);
    const bool on = call.agent()->GetWlanOn();

    int code = SWITCH_WRONG_PARA;
    if (text == nullptr)
        code = SWITCH_INVALID_OPERATION;
    else if (strcmp(text, "on") == 0)
        code = on ? SWITCH_INVALID_OPERATION : RequestSwitch(call.agent(), true);
    else if (strcmp(text, "off") == 0)
        code = on ? RequestSwitch(call.agent(), false) : SWITCH_INVALID_OPERATION;

    char result[64];
    snprintf(result, sizeof(result), "%d : %s", code, SwitchWord(code));
    call.AddString("result", result);
    call.Send();
    if (code == SWITCH_DONE)
        wlan_userlog(WLAN_PRIO_INFO, "WLAN switches successfully.");
    else
        wlan_userlog(WLAN_PRIO_INFO, "WLAN switch error : %d", code);
    return code;
}

int ubus_wlan_get_stas(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                       blob_attr*) {
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
    StaList* list = call.agent()->GetStaList();
    if (list == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "ubus_wlan_get_stas: sta list NULL.");
        return -2;
    }
    std::unique_ptr<char, decltype(&free)> text(sta_list_text(list, list->GetNum()), free);
    if (text == nullptr) return -3;
    call.AddString("STA_LIST", text.get());
    call.Send();
    return 0;
}

int ubus_wlan_get_sta_num(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                          blob_attr*) {
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
    StaList* list = call.agent()->GetStaList();
    if (list == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "ubus_wlan_get_sta_num: sta list NULL.");
        return -2;
    }
    call.AddInt32("current_sta_num", list->GetNum());
    call.Send();
    return 0;
}

int ubus_wlan_get_switch(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                         blob_attr*) {
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
    call.AddString("wlan", call.agent()->GetWlanOn() ? "on" : "off");
    call.Send();
    return 0;
}

// A PIN longer than 8 characters (the agent would cut it) or holding a line break (it goes
// into the user log) is refused without a reply; any other text goes to the agent, whose
// worker checks it.
namespace {

// The reply and user-log line of a WPS start or cancel: the event name and log text for
// success, or those for failure. Returns the agent's result as the call's status.
struct WpsOutcomeText {
    const char* event;
    const char* log;
};
int reply_wps_outcome(MethodCall& call, int result, WpsOutcomeText success,
                      WpsOutcomeText failure) {
    const WpsOutcomeText& text = result == 0 ? success : failure;
    call.AddString("wps_event", text.event);
    call.Send();
    wlan_userlog(WLAN_PRIO_INFO, "%s", text.log);
    return result;
}

}  // namespace

int ubus_wlan_start_wps(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                        blob_attr* msg) {
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
    const char* pin = StringArg(wps_start_policy, WPS_START_PIN, msg);
    if (pin != nullptr && (strlen(pin) > kWpsPinMax || has_line_break(pin))) {
        WLAN_LOG5("ubus_wlan_start_wps: PIN refused, more than 8 characters or a line break");
        return UBUS_STATUS_INVALID_ARGUMENT;
    }
    int result = -1;
    if (pin != nullptr) {
        wlan_userlog(WLAN_PRIO_INFO, "WPS required, PIN[%s].", pin);
        result = call.agent()->StartWPS(pin);
    }
    return reply_wps_outcome(call, result, {"wps_starts_successfully", "WPS starts successfully."},
                             {"wps_starts_in_failure", "WPS starts in failure."});
}

int ubus_wlan_cancel_wps(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                         blob_attr*) {
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
    wlan_userlog(WLAN_PRIO_INFO, "Cancel WPS required.");
    const int result = call.agent()->CancelWPS();
    return reply_wps_outcome(call, result, {"wps_cancels_successfully", "Cancel WPS successfully."},
                             {"wps_cancels_in_failure", "Cancel WPS in failure."});
}

// Answers -1 after a complete reply, as clients of this method have always seen it.
int ubus_wlan_get_wps_status(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                             blob_attr*) {
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
    HostapdAgent* agent = call.agent();
    call.AddInt32("wps_enabled", agent->IsWPSFeatured() ? 1 : 0);
    call.AddInt32("wps_running", agent->IsWPSProcedureOn() ? 1 : 0);
    call.AddInt32("wps_result", agent->GetLastWPSResult());
    call.Send();
    return -1;
}

// The host's last call before it lets the object go; silent when the agent is gone.
int ubus_wlan_last_rpc(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                       blob_attr*) {
    MethodCall call(__func__, req);
    if (call.agent() == nullptr || call.ua() == nullptr) return -1;
    call.AddString("wlan_goodbye_event", "Goodbye_WLAN_obj");
    call.Send();
    return 0;
}

namespace {

const ubus_method switch_methods[] = {
    UBUS_METHOD("wlan_set_switch", ubus_wlan_set_switch, switch_policy),
    UBUS_METHOD_NOARG("wlan_get_sta", ubus_wlan_get_stas),
    UBUS_METHOD_NOARG("wlan_get_sta_num", ubus_wlan_get_sta_num),
    UBUS_METHOD_NOARG("wlan_get_switch", ubus_wlan_get_switch),
    UBUS_METHOD("wlan_wps_start", ubus_wlan_start_wps, wps_start_policy),
    UBUS_METHOD_NOARG("wlan_wps_cancel", ubus_wlan_cancel_wps),
    UBUS_METHOD_NOARG("wlan_get_wps_status", ubus_wlan_get_wps_status),
    UBUS_METHOD_NOARG("wlan_last_rpc", ubus_wlan_last_rpc),
};

}  // namespace

const MethodGroup switch_method_group = WLAN_METHOD_GROUP(switch_methods);
