// The agent's side of the bus connection: connecting and starting the assistant, and taking it
// down again.
extern "C" {
#include <libubox/uloop.h>
}
#include <libubus.h>
#include <string.h>

#include <new>

#include "hostapd_agent.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/text.h"

int HostapdAgent::ConnectUbus() {
    if (_internal_ubus) {
        if (_ctx != nullptr) {
            wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::ConnectUbus: Already connected to ubus.");
            return -1;
        }
        memset(_ubus_path, 0, sizeof(_ubus_path));
        copy_text(_ubus_path, kUbusSocketPath);
        // ubus_connect initialises uloop, which from then on reaps every child of the process
        // (those of system() and popen() in the other threads too) while the flag is set.
        uloop_handle_sigchld = false;
        _ctx = ubus_connect(_ubus_path);
    }
    if (_ctx == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::ConnectUbus: Connect to ubus failed.");
        return -2;
    }
    if (_ua != nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::ConnectUbus: _ua already there.");
        return -3;
    }
    _ua = new (std::nothrow) UbusAssistant(this, _ctx);
    if (_ua == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::ConnectUbus: Create _ua failed.");
        return -4;
    }
    if (_ua->Init() != 0) {
        wlan_errlog(WLAN_PRIO_ERROR, "HostapdAgent::ConnectUbus: _ua init failed.");
        return -5;
    }
    if (_ua->RunLoop() != 0) return -6;
    return 0;
}

int HostapdAgent::DisconnectUbus() {
    if (_ua != nullptr) {
        _ua->StopLoop();
        _ua->Deinit();
        if (_ua->IsLoopThreadAlive()) {
            // Freeing what the loop thread still uses would crash the host; leave it to it.
            WLAN_LOG5("HostapdAgent::DisconnectUbus: uloop thread busy, connection kept.");
            _ua = nullptr;
            if (_internal_ubus) _ctx = nullptr;
            return 0;
        }
        delete _ua;
        _ua = nullptr;
    }
    if (_internal_ubus) {
        if (_ctx != nullptr) ubus_free(_ctx);
        _ctx = nullptr;
        memset(_ubus_path, 0, sizeof(_ubus_path));
    }
    return 0;
}
