#include "host/demo/device.h"

#include <string.h>

#include "host/sandbox/bus_events.h"
#include "host/sandbox/sandbox.h"

namespace demo_device {
namespace {

constexpr const char* kCtrl = "/var/run/hostapd-wl0";

using device_processes::WaitFor;

// A liblog line on standard error: "TAG P MM-DD HH:MM:SS PID TID text". The user log and the
// library's warnings and errors are narrated; the daemon's own lines are marked as its own.
void Narrate(FILE* out, const std::string& line) {
    if (line.compare(0, 10, "wlanmgrd: ") == 0) {
        fprintf(out, "    [wlanmgrd] %s\n", line.c_str() + 10);
        return;
    }
    char tag[32], priority;
    int offset = 0;
    if (sscanf(line.c_str(), "%31s %c %*s %*s %*d %*d %n", tag, &priority, &offset) < 2 ||
        offset == 0)
        return;
    const char* text = line.c_str() + offset;
    if (strcmp(tag, "WLAN_-_user") == 0)
        fprintf(out, "    [user log] %s\n", text);
    else if (strcmp(tag, "WLAN") == 0 && (priority == 'W' || priority == 'E'))
        fprintf(out, "    [log] %s\n", text);
}

bool WlanOn() {
    std::string last;
    for (const bus_events::Event& event : bus_events::Read())
        if (event.json.find("wlan_switch") != std::string::npos) last = event.json;
    return last == "{\"wlan_switch\":\"on\"}";
}

}  // namespace

Device::Device(FILE* log) : log_(log) {}

Device::~Device() {
    if (daemon_ > 0) StopDaemon();
    if (bus_ > 0) {
        kill(bus_, SIGTERM);
        device_processes::WaitExit(bus_);
    }
}

bool Device::StartBus() {
    bus_ = device_processes::Spawn({"/usr/bin/ubusd"}, -1, -1);
    return bus_ > 0 && WaitFor([] { return sandbox::Exists("/var/run/ubus.sock"); });
}

void Device::Relay(int fd) {
    FILE* in = fdopen(fd, "r");
    if (in == nullptr) return;
    char line[1024];
    while (fgets(line, sizeof(line), in) != nullptr) {
        line[strcspn(line, "\n")] = '\0';
        Narrate(log_, line);
    }
    fclose(in);
}

bool Device::StartDaemon() {
    ctrl_.reset(new device_processes::CtrlSocket(kCtrl));
    int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    int log[2] = {-1, -1};
    if (log_ != nullptr && pipe2(log, O_CLOEXEC) != 0) return false;
    daemon_ = device_processes::Spawn({WLANMGRD_PATH, "-f", "-c", kCtrl}, devnull, log[1]);
    close(devnull);
    if (log_ != nullptr) {
        close(log[1]);
        relay_ = std::thread(&Device::Relay, this, log[0]);
    }
    return daemon_ > 0 &&
           WaitFor([] { return sandbox::Output("ubus list wlan_object_test") != ""; }) &&
           WaitFor(WlanOn) && ctrl_->Attached();
}

int Device::StopDaemon() {
    if (daemon_ <= 0) return -1;
    kill(daemon_, SIGTERM);
    int status = device_processes::WaitExit(daemon_);
    daemon_ = -1;
    if (relay_.joinable()) relay_.join();
    ctrl_.reset();
    return status;
}

void Device::ControlMessage(const std::string& text) {
    if (ctrl_ != nullptr) ctrl_->Send(text);
}

}  // namespace demo_device
