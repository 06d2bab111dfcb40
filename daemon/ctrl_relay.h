#ifndef WLANMGRD_CTRL_RELAY_H
#define WLANMGRD_CTRL_RELAY_H

#include <string>
#include <vector>

class HostapdAgent;
struct wpa_ctrl;

namespace wlanmgrd {

// Monitors the control sockets of hostapd and wpa_supplicant and passes their event messages
// ("<3>AP-STA-CONNECTED 02:...", "<3>WPS-SUCCESS ", ...) to HostapdAgent::HandleMsg. A socket
// that is not there yet, or whose daemon went away, is tried again every few seconds.
class CtrlRelay {
public:
    CtrlRelay(HostapdAgent* agent, const std::vector<std::string>& paths);
    ~CtrlRelay();
    CtrlRelay(const CtrlRelay&) = delete;
    CtrlRelay& operator=(const CtrlRelay&) = delete;

    // Descriptors to watch for reading (one per attached socket).
    std::vector<int> Fds() const;
    // Relays what arrived on fd.
    void Receive(int fd);
    // Attaches what is not attached and checks quiet sockets whose time has come; returns the
    // milliseconds until it wants to run again (-1: never).
    int Tick();

private:
    struct Link {
        std::string path;
        wpa_ctrl* ctrl = nullptr;
        long next_ms = 0;  // monotonic time of the next attempt or check
        bool failure_logged = false;
    };

    void Attach(Link* link, long now);
    void Drop(Link* link, long now, const char* why);

    HostapdAgent* agent_;
    std::vector<Link> links_;
};

}  // namespace wlanmgrd

#endif
