#ifndef WLAN_DEMO_DEVICE_H
#define WLAN_DEMO_DEVICE_H

#include <stdio.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <thread>

#include "host/sandbox/device_processes.h"

// The simulated device's own processes around the library: the bus daemon, wlanmgrd with the
// access point daemon's control socket, all inside the sandbox.
namespace demo_device {

class Device {
public:
    // log: where wlanmgrd's log lines are narrated (marked by their log), or null to leave them
    // on the standard error as they are.
    explicit Device(FILE* log);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool StartBus();
    // Starts wlanmgrd and waits until its object is on the bus, Wi-Fi is on and it monitors the
    // control socket.
    bool StartDaemon();
    // SIGTERM; returns the exit status (-1 when it did not end by itself).
    int StopDaemon();
    // An event message of the access point daemon, as wlanmgrd receives it.
    void ControlMessage(const std::string& text);

private:
    void Relay(int fd);

    FILE* log_;
    pid_t bus_ = -1;
    pid_t daemon_ = -1;
    std::unique_ptr<device_processes::CtrlSocket> ctrl_;
    std::thread relay_;
};

}  // namespace demo_device

#endif
