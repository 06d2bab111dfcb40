// Power-save methods and the system events: reading and changing the power-save settings, and
// the key, USB and system events that the bus delivers.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "hostapd_agent.h"
#include "ubus/button_events.h"
#include "ubus/event_subscriptions.h"
#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "ubus/work_queue.h"
#include "util/log.h"
#include "util/shell.h"
#include "wlan_config.h"

namespace {

// Shared by wlan_get_ps_status, which reads no field of the request, and wlan_set_ps_status.
enum PowerSavePolicyField { PS_POWER_SAVE_STATUS, PS_POWER_LEVEL, PS_DISABLE_TIME, PS_POLICY_MAX };
const blobmsg_policy power_save_policy[PS_POLICY_MAX] = {
    {"power_save_status", BLOBMSG_TYPE_INT32},
    {"power_level", BLOBMSG_TYPE_INT32},
    {"disable_time", BLOBMSG_TYPE_INT32},
};

// The one field of interest of each event.
const blobmsg_policy key_event_policy[] = {{"key_detect_msg", BLOBMSG_TYPE_STRING}};
const blobmsg_policy usb_event_policy[] = {{"usb_online_state", BLOBMSG_TYPE_INT32}};
const blobmsg_policy system_event_policy[] = {{"state_event", BLOBMSG_TYPE_STRING}};

// The power-save settings in uci. power_level and disable_time are the values in force (0 while
// power save is off), the _user keys what the user chose, kept while power save is off.
constexpr const char* kPowerSaveStatus = "wlan.basic_setting.power_save_status";
constexpr const char* kPowerLevel = "wlan.basic_setting.power_level";
constexpr const char* kPowerLevelUser = "wlan.basic_setting.power_level_user";
constexpr const char* kDisableTime = "wlan.basic_setting.disable_time";
constexpr const char* kDisableTimeUser = "wlan.basic_setting.disable_time_user";

// The PIN text of a push-button WPS session.
constexpr const char* kPushButtonPin = "00000000";

constexpr intptr_t kEventPayload = 1;
constexpr intptr_t kWlanOffRestart = 3;

// Set and cleared by the system event (on the loop thread), read by the key and USB jobs (on the
// work queue).
std::atomic<bool> g_power_bank_on{false};

// A stored setting as a decimal number; the fallback text (which reads as 0) when uci has none.
int32_t read_setting(const char* key, const char* fallback) {
    char command[128];
    char value[128];
    if (!format_bounded(command, sizeof(command), "uci get %s", key)) return 0;
    read_uci(command, value, sizeof(value), fallback);
    const long number = strtol(value, nullptr, 10);
    if (number > INT32_MAX) return INT32_MAX;
    if (number < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(number);
}

struct PowerSave {
    int32_t status, level, time;
};

PowerSave read_power_save() {
    return {read_setting(kPowerSaveStatus, "DISABLE"), read_setting(kPowerLevelUser, "HIG_LEVEL"),
            read_setting(kDisableTimeUser, "0")};
}

// The uci commands of a change; each is a shell command of its own, and each returns whether it
// succeeded.
bool uci_set(const char* key, int32_t value) { return shell_runf("uci set %s=%d", key, value); }
bool uci_set_pair(const char* key, const char* user_key, int32_t value) {
    return shell_runf("uci set %s=%d && uci set %s=%d", key, value, user_key, value);
}
bool uci_commit_wlan() { return shell_runf("uci commit %s", "wlan"); }
// Drops the saved but uncommitted changes of the power-save options, so that a change that
// could not be committed is neither read back nor committed later with another one.
void uci_revert_power_save() {
    shell_runf("uci revert %s; uci revert %s; uci revert %s; uci revert %s; uci revert %s",
               kPowerSaveStatus, kPowerLevel, kPowerLevelUser, kDisableTime, kDisableTimeUser);
}

void raise_event(ha_wlan_event_type type, intptr_t payload) {
    HostapdAgent::InvokeEventCbs(type, reinterpret_cast<void*>(payload));
}

// The event's field at index 0 of its one-entry policy, or null when it is missing or of
// another type.
blob_attr* event_field(const blobmsg_policy (&policy)[1], blob_attr* msg) {
    blob_attr* field[1] = {nullptr};
    if (msg != nullptr) blobmsg_parse(policy, 1, field, blob_data(msg), blob_len(msg));
    return field[0];
}

bool starts_with(const char* text, const char* keyword) {
    return strncmp(text, keyword, strlen(keyword)) == 0;
}

// What a key message asks for; the first matching row of the key table wins.
enum class KeyAction { kNone, kClick, kStaInterface, kWps, kWlanOn, kWlanOff };

KeyAction classify_key(const char* text) {
    const auto has = [text](const char* word) { return strstr(text, word) != nullptr; };
    const bool short_click = has("short-click");
    const bool double_click = has("double-click");
    if (has("power"))
        return short_click    ? KeyAction::kClick
               : double_click ? KeyAction::kStaInterface
                              : KeyAction::kNone;
    if (has("reset")) return KeyAction::kNone;
    if (has("wps")) {
        if (short_click) return KeyAction::kClick;
        return !double_click && has("long-press") ? KeyAction::kWps : KeyAction::kNone;
    }
    if (has("wlan-debug-method"))
        return has("wlan-on")    ? KeyAction::kWlanOn
               : has("wlan-off") ? KeyAction::kWlanOff
                                 : KeyAction::kNone;
    return KeyAction::kNone;
}

// The long press of the WPS key: cancels a session in progress, otherwise starts a push-button
// one.
void toggle_wps() {
    ShadowAgentHold hold;
    HostapdAgent* agent = hold.get();
    if (agent == nullptr) return;
    if (agent->IsWPSProcedureOn())
        agent->CancelWPS();
    else
        agent->StartWPS(kPushButtonPin);
}

void _handle_usb_event_msg(void* argument) {
    const intptr_t state = reinterpret_cast<intptr_t>(argument);
    if (g_power_bank_on || (state != 0 && state != 1)) return;
    wlan_userlog(WLAN_PRIO_INFO, "USB %s, try to wake up WLAN...",
                 state == 1 ? "connected" : "disconnected");
    raise_event(HA_WLAN_EVT_WLAN_ON, kEventPayload);
}

}  // namespace

char btn_evt_msg[kButtonEventMsgSize];

bool power_bank_on() { return g_power_bank_on; }

int ubus_wlan_get_ps_status(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                            blob_attr*) {
    WLAN_TRACE("ubus_wlan_get_ps_status ENTRY");
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kUaTraced)) return -1;
    const PowerSave stored = read_power_save();
    call.AddInt32("power_save_status", stored.status);
    call.AddInt32("power_level", stored.level);
    call.AddInt32("disable_time", stored.time);
    call.Send();
    WLAN_TRACE("ubus_wlan_get_ps_status LEAVE");
    return 0;
}

// Sends no reply. A change that the running radio must take up restarts Wi-Fi through the host;
// otherwise a running Wi-Fi takes the new idle time into use.
int ubus_wlan_set_ps_status(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                            blob_attr* msg) {
    WLAN_TRACE("ubus_wlan_set_ps_status ENTRY");
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kUaTraced)) return -1;
    const PowerSave stored = read_power_save();
    // Without an agent there is no running Wi-Fi to restart or to count down.
    const bool on = call.agent() != nullptr && call.agent()->GetWlanOn();

    blob_attr* field[PS_POLICY_MAX] = {nullptr};
    if (msg != nullptr)
        blobmsg_parse(power_save_policy, PS_POLICY_MAX, field, blob_data(msg), blob_len(msg));
    if (field[PS_POWER_SAVE_STATUS] == nullptr) {
        WLAN_TRACE("invalid new power save status");
        return -1;
    }
    const auto value_or = [&field](int index, int32_t fallback) {
        return field[index] != nullptr ? static_cast<int32_t>(blobmsg_get_u32(field[index]))
                                       : fallback;
    };
    const int32_t new_ps = value_or(PS_POWER_SAVE_STATUS, 0);
    const int32_t new_level = value_or(PS_POWER_LEVEL, stored.level);
    const int32_t new_time = value_or(PS_DISABLE_TIME, stored.time);
    WLAN_TRACE("wlan_enable: %d", on);
    WLAN_TRACE("power_save_status: %d, power_level: %d, disable_time: %d", stored.status,
               stored.level, stored.time);
    WLAN_TRACE("new_power_save_status: %d, new_power_level: %d, new_disable_time: %d", new_ps,
               new_level, new_time);

    // Each command runs only when the ones before it succeeded; a failed change is not
    // committed and not taken into use.
    bool written;
    bool restart;
    if (stored.status == 1 && new_ps == 0) {
        WLAN_TRACE("power_save_status: enable->disabled");
        written = uci_set(kPowerSaveStatus, 0) && uci_set(kPowerLevel, 0) &&
                  uci_set(kDisableTime, 0) && uci_commit_wlan();
        restart = on && stored.level != 0;
    } else if (stored.status == 0 && new_ps == 1) {
        WLAN_TRACE(
            "power_save_status: disable->enable, new_power_level: %d, new_disable_time: %d\n",
            new_level, new_time);
        written = uci_set(kPowerSaveStatus, 1) &&
                  uci_set_pair(kPowerLevel, kPowerLevelUser, new_level) &&
                  uci_set_pair(kDisableTime, kDisableTimeUser, new_time) && uci_commit_wlan();
        restart = on && new_level != 0;
    } else if (stored.status == 1 && new_ps == 1) {
        WLAN_TRACE("power_save_status: always enable, new_power_level: %d, new_disable_time: %d\n",
                   new_level, new_time);
        written = uci_set_pair(kPowerLevel, kPowerLevelUser, new_level) &&
                  uci_set_pair(kDisableTime, kDisableTimeUser, new_time) && uci_commit_wlan();
        restart = on && new_level != stored.level;
    } else {
        WLAN_TRACE("flag reboot_wifi: %d, flag set_disable_time: %d", 0, 0);
        WLAN_TRACE("ubus_wlan_set_ps_status LEAVE");
        return 0;
    }
    if (!written) {
        uci_revert_power_save();
        WLAN_LOG5("ubus_wlan_set_ps_status: uci change failed, nothing taken into use");
        return -1;
    }

    if (restart) {
        WLAN_TRACE("flag reboot_wifi: %d, flag set_disable_time: %d", 1, 0);
        WLAN_TRACE("restart wlan");
        raise_event(HA_WLAN_EVT_WLAN_OFF, kWlanOffRestart);
    } else if (on) {
        WLAN_TRACE("flag reboot_wifi: %d, flag set_disable_time: %d", 0, 1);
        WLAN_TRACE("set disable_time");
        call.agent()->SetAutoDisTime();
    } else {
        WLAN_TRACE("flag reboot_wifi: %d, flag set_disable_time: %d", 0, 0);
    }
    WLAN_TRACE("ubus_wlan_set_ps_status LEAVE");
    return 0;
}

// The key daemon's message is copied and handled on the work queue. A text longer than any key
// message is dropped, and so is one that finds no queue.
void on_key_event(ubus_context*, ubus_event_handler*, const char*, blob_attr* msg) {
    blob_attr* field = event_field(key_event_policy, msg);
    if (field == nullptr) return;
    const char* text = blobmsg_get_string(field);
    const size_t length = strlen(text);
    if (length >= kButtonEventMsgSize) {
        WLAN_LOG5("on_key_event: key text of %zu characters dropped", length);
        return;
    }
    char* copy = static_cast<char*>(malloc(length + 1));
    if (copy == nullptr) return;
    memcpy(copy, text, length + 1);
    if (ha_wq_put(_handle_button_event_msg, copy, btn_evt_done, copy) != 0) free(copy);
}

extern "C" void btn_evt_done(void* msg) { free(msg); }

void _handle_button_event_msg(void* argument) {
    const char* text = static_cast<const char*>(argument);
    if (ShadowAgentHold().get() == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "_handle_button_event_msg: shadow agent NULL.");
        return;
    }
    if (shadow_ua() == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "_handle_button_event_msg: shadow ua NULL.");
        return;
    }
    if (text == nullptr) return;
    switch (classify_key(text)) {
        case KeyAction::kClick:
            if (!g_power_bank_on) raise_event(HA_WLAN_EVT_KEY_CLICK, kEventPayload);
            break;
        case KeyAction::kStaInterface:
            shell_run("/usr/bin/QCMAP_StaInterface eth0 CONNECTED");
            break;
        case KeyAction::kWps:
            toggle_wps();
            break;
        case KeyAction::kWlanOn:
            raise_event(HA_WLAN_EVT_WLAN_ON, kEventPayload);
            break;
        case KeyAction::kWlanOff:
            raise_event(HA_WLAN_EVT_WLAN_OFF, kEventPayload);
            break;
        case KeyAction::kNone:
            break;
    }
}

void on_usb_event(ubus_context*, ubus_event_handler*, const char*, blob_attr* msg) {
    blob_attr* field = event_field(usb_event_policy, msg);
    if (field == nullptr) return;
    const intptr_t state = static_cast<int32_t>(blobmsg_get_u32(field));
    ha_wq_put(_handle_usb_event_msg, reinterpret_cast<void*>(state), nullptr, nullptr);
}

// Runs on the loop thread; the callbacks it raises run there too.
void _handle_system_event_msg(ubus_context*, ubus_event_handler*, const char*, blob_attr* msg) {
    blob_attr* field = event_field(system_event_policy, msg);
    if (field == nullptr) return;
    const char* text = blobmsg_get_string(field);
    WLAN_TRACE("System event received: [%s]", text);
    if (ShadowAgentHold().get() == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "_handle_system_event_msg: shadow agent NULL.");
        return;
    }
    if (shadow_ua() == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "_handle_system_event_msg: shadow ua NULL.");
        return;
    }
    if (starts_with(text, "power_bank on")) {
        wlan_userlog(WLAN_PRIO_INFO, "Power bank on.");
        g_power_bank_on = true;
    } else if (starts_with(text, "power_bank off")) {
        wlan_userlog(WLAN_PRIO_INFO, "Power bank off.");
        g_power_bank_on = false;
        raise_event(HA_WLAN_EVT_WLAN_ON, kEventPayload);
    }
    if (starts_with(text, "shutdown wifi")) {
        wlan_userlog(WLAN_PRIO_INFO, "System shutdown WLAN.");
        raise_event(HA_WLAN_EVT_WLAN_OFF, kEventPayload);
    }
}

namespace {

const ubus_method power_methods[] = {
    UBUS_METHOD("wlan_get_ps_status", ubus_wlan_get_ps_status, power_save_policy),
    UBUS_METHOD("wlan_set_ps_status", ubus_wlan_set_ps_status, power_save_policy),
};

}  // namespace

const MethodGroup power_method_group = WLAN_METHOD_GROUP(power_methods);
