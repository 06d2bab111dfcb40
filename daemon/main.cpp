// wlanmgrd: the host daemon of the Wi-Fi manager. It owns the one HostapdAgent, answers the
// library's events (switch on and off, restart, idle time out, key click), relays the control
// messages of hostapd and wpa_supplicant, and ends cleanly on SIGTERM and SIGINT.
#include <errno.h>
#include <poll.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include "daemon/ctrl_relay.h"
#include "daemon/events.h"
#include "daemon/host_bus.h"
#include "daemon/log.h"
#include "daemon/options.h"
#include "daemon/signals.h"
#include "wlanmgr.h"

namespace {

using wlanmgrd::Log;

// Whether the bus object is up. On its own connection the agent starts its loop thread only
// once the object and the event handlers are registered; on the daemon's, the object is looked
// up before the loop runs.
bool BusServed(HostapdAgent* agent, wlanmgrd::HostBus* host_bus) {
    UbusAssistant* ua = agent->GetUbusAssistant();
    if (ua == nullptr) return false;
    return host_bus->context() != nullptr ? host_bus->Has("wlan_object") && host_bus->Run()
                                          : ua->IsLoopThreadAlive();
}

// First start. Any failure is a reason to end: the service manager restarts the daemon.
bool FirstStart(HostapdAgent* agent, wlanmgrd::HostBus* host_bus, const char* bus) {
    int status = agent->StartSpy();
    if (status != 0) {
        Log(ANDROID_LOG_ERROR, "cannot start: the spy thread did not start (StartSpy %d)", status);
        return false;
    }
    if (!agent->GetFailHandled()) {
        Log(ANDROID_LOG_ERROR,
            "cannot start: the radio did not come up (bcmwlan_ap1.sh start failed; see the "
            "WLAN log)");
        return false;
    }
    if (!BusServed(agent, host_bus)) {
        Log(ANDROID_LOG_ERROR,
            "cannot start: no bus at %s, or the object could not be registered (is ubusd "
            "running? is another wlanmgrd running?)",
            bus);
        return false;
    }
    return true;
}

// Serves requests, control messages and the stop signal until a stop signal arrives; returns
// the signal.
int Serve(HostapdAgent* agent, wlanmgrd::CtrlRelay* relay) {
    for (;;) {
        int timeout = relay->Tick();
        std::vector<pollfd> fds = {{wlanmgrd::StopSignalFd(), POLLIN, 0},
                                   {wlanmgrd::RequestFd(), POLLIN, 0}};
        for (int fd : relay->Fds()) fds.push_back({fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), timeout) < 0) continue;  // EINTR
        if (fds[0].revents != 0) return wlanmgrd::TakeStopSignal();
        wlanmgrd::Request request;
        if (fds[1].revents != 0 && wlanmgrd::TakeRequest(&request))
            wlanmgrd::CarryOut(agent, request);
        for (size_t i = 2; i < fds.size(); ++i)
            if (fds[i].revents != 0) relay->Receive(fds[i].fd);
    }
}

}  // namespace

int main(int argc, char** argv) {
    wlanmgrd::Options options;
    std::string error;
    if (!wlanmgrd::ParseOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "wlanmgrd: %s\n", error.c_str());
        wlanmgrd::PrintUsage(stderr, "wlanmgrd");
        return 2;
    }
    if (options.help) {
        wlanmgrd::PrintUsage(stdout, "wlanmgrd");
        return 0;
    }
    wlanmgrd::LogToStderr(options.foreground);
    // Detach before any thread exists.
    if (!options.foreground &&
        os_daemonize(options.pid_file.empty() ? nullptr : options.pid_file.c_str()) != 0) {
        Log(ANDROID_LOG_ERROR, "cannot start: cannot detach into the background");
        return 1;
    }
    // Before the bus loop is initialised: it then leaves these two signals to us.
    if (!wlanmgrd::InstallStopSignals() || !wlanmgrd::InstallEventCallbacks()) {
        Log(ANDROID_LOG_ERROR, "cannot start: %s", strerror(errno));
        return 1;
    }

    // A device's first start generates its network name, key and country; later starts keep
    // the file. Before the radio and the bus are up, as the file has no lock yet.
    prepare_hostapd_conf("/etc/hostapd.conf");
    wlanmgrd::HostBus host_bus;
    const bool daemon_bus = !options.socket.empty();
    const char* bus = daemon_bus ? options.socket.c_str() : "/var/run/ubus.sock";
    if (daemon_bus && !host_bus.Connect(bus)) {
        Log(ANDROID_LOG_ERROR, "cannot start: no bus at %s (is ubusd running?)", bus);
        wlanmgrd::RemoveEventCallbacks();
        return 1;
    }
    auto* agent = new HostapdAgent;
    agent->SetUbusContext(host_bus.context());  // null: the agent connects by itself
    bcm_lte_coex_set_shadow_agent(agent);
    int status = 1;
    if (FirstStart(agent, &host_bus, bus)) {
        Log(ANDROID_LOG_INFO, "running: %s served on the bus at %s",
            daemon_bus ? "wlan_object" : "wlan_object_test", bus);
        wlanmgrd::CtrlRelay relay(agent, options.ctrl_paths);
        int signo = Serve(agent, &relay);
        Log(ANDROID_LOG_INFO, "%s: stopping", strsignal(signo));
        status = 0;
    }
    // Stops the spy and takes the radio down; no method runs once the daemon's bus loop ended.
    // The agent removes its object and closes its own connection; the daemon's connection
    // closes last, taking wlan_object with it.
    agent->StopSpy();
    host_bus.Stop();
    bcm_lte_coex_set_shadow_agent(nullptr);
    delete agent;
    wlanmgrd::RemoveEventCallbacks();
    if (!options.foreground && !options.pid_file.empty())
        os_daemonize_terminate(options.pid_file.c_str());
    return status;
}
