#include "daemon/events.h"

#include <fcntl.h>
#include <stdint.h>
#include <unistd.h>

#include "daemon/log.h"
#include "hostapd_agent.h"
#include "wlan_event.h"

namespace wlanmgrd {
namespace {

int g_queue[2] = {-1, -1};

void Queue(Request request) {
    unsigned char byte = static_cast<unsigned char>(request);
    if (write(g_queue[1], &byte, 1) != 1)
        Log(ANDROID_LOG_ERROR, "request %s lost: the queue is full", RequestName(request));
}

intptr_t Payload(void* data) { return reinterpret_cast<intptr_t>(data); }

// Slot 0: the idle countdown ran out, or the library asks for Wi-Fi off or a restart.
void OnCountDownEvent(ha_wlan_event_type type, void* data) {
    if (type == HA_WLAN_EVT_AUTO_DOWN) {
        Queue(Request::kSwitchOff);
    } else if (type == HA_WLAN_EVT_WLAN_OFF) {
        if (Payload(data) == 3)
            Queue(Request::kRestart);
        else if (Payload(data) == 1)
            Queue(Request::kSwitchOff);
    }
}

// Slots 1-4: station counts and WPS outcomes are notifications; switch-on and key clicks need
// an answer.
void OnEvent(ha_wlan_event_type type, void*) {
    if (type == HA_WLAN_EVT_WLAN_ON)
        Queue(Request::kSwitchOn);
    else if (type == HA_WLAN_EVT_KEY_CLICK)
        Queue(Request::kToggle);
}

// Started, or its spy thread still running. StartSpy sets the started flag before it returns,
// while the Wi-Fi state follows only once the spy thread runs.
bool Active(HostapdAgent* agent) { return agent->IsStarted() || agent->IsRunning(); }

void Start(HostapdAgent* agent) {
    int status = agent->StartSpy();
    if (status != 0) Log(ANDROID_LOG_ERROR, "the access point did not start (%d)", status);
}

}  // namespace

bool InstallEventCallbacks() {
    if (pipe2(g_queue, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    if (HostapdAgent::InitEventCb() != 0) return false;
    HostapdAgent::RegCountDownCb(OnCountDownEvent);
    return wlan_mgr_event_cb_reg(OnEvent) == 0;
}

void RemoveEventCallbacks() {
    wlan_mgr_event_cb_unreg(OnEvent);
    HostapdAgent::DeinitEventCb();
}

int RequestFd() { return g_queue[0]; }

bool TakeRequest(Request* request) {
    unsigned char byte = 0;
    if (read(g_queue[0], &byte, 1) != 1) return false;
    *request = static_cast<Request>(byte);
    return true;
}

void CarryOut(HostapdAgent* agent, Request request) {
    Log(ANDROID_LOG_INFO, "%s", RequestName(request));
    switch (request) {
        case Request::kSwitchOn:
            // USB and power-bank events wake Wi-Fi whether or not it is on.
            if (!Active(agent)) Start(agent);
            break;
        case Request::kSwitchOff:
            agent->StopSpy();
            break;
        case Request::kRestart:
            agent->StopSpy();
            Start(agent);
            break;
        case Request::kToggle:
            if (Active(agent))
                agent->StopSpy();
            else
                Start(agent);
            break;
    }
}

const char* RequestName(Request request) {
    switch (request) {
        case Request::kSwitchOn:
            return "switch Wi-Fi on";
        case Request::kSwitchOff:
            return "switch Wi-Fi off";
        case Request::kRestart:
            return "restart Wi-Fi";
        case Request::kToggle:
            return "key click: toggle Wi-Fi";
    }
    return "unknown request";
}

}  // namespace wlanmgrd
