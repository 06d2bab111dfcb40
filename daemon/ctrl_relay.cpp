#include "daemon/ctrl_relay.h"

#include <errno.h>
#include <string.h>
#include <time.h>

#include "daemon/log.h"
#include "hostapd_agent.h"
#include "wpa_ctrl.h"

namespace wlanmgrd {
namespace {

constexpr long kRetryMs = 5000;   // a socket that is not there yet
constexpr long kCheckMs = 10000;  // a quiet socket is pinged this often

// wpa_ctrl_request's message callback has no context: the one agent of the process.
HostapdAgent* g_agent = nullptr;

long NowMs() {
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000L + now.tv_nsec / 1000000L;
}

// Unsolicited messages begin with their level in angle brackets; anything else is a reply.
void Relay(char* message, size_t length) {
    if (g_agent == nullptr || length == 0 || message[0] != '<') return;
    g_agent->HandleMsg(message, static_cast<int>(length));
}

}  // namespace

CtrlRelay::CtrlRelay(HostapdAgent* agent, const std::vector<std::string>& paths) : agent_(agent) {
    g_agent = agent;
    for (const std::string& path : paths) {
        Link link;
        link.path = path;
        links_.push_back(link);
    }
}

CtrlRelay::~CtrlRelay() {
    for (Link& link : links_) {
        if (link.ctrl == nullptr) continue;
        wpa_ctrl_detach(link.ctrl);
        wpa_ctrl_close(link.ctrl);
    }
    g_agent = nullptr;
}

std::vector<int> CtrlRelay::Fds() const {
    std::vector<int> fds;
    for (const Link& link : links_)
        if (link.ctrl != nullptr) fds.push_back(wpa_ctrl_get_fd(link.ctrl));
    return fds;
}

void CtrlRelay::Attach(Link* link, long now) {
    link->next_ms = now + kRetryMs;
    link->ctrl = wpa_ctrl_open(link->path.c_str());
    int status = link->ctrl != nullptr ? wpa_ctrl_attach(link->ctrl) : -1;
    if (status == 0) {
        Log(ANDROID_LOG_INFO, "monitoring control socket %s", link->path.c_str());
        link->failure_logged = false;
        link->next_ms = now + kCheckMs;
        return;
    }
    if (link->ctrl != nullptr) wpa_ctrl_close(link->ctrl);
    link->ctrl = nullptr;
    if (!link->failure_logged)
        Log(ANDROID_LOG_WARN, "control socket %s: cannot attach (%s); trying again every %ld s",
            link->path.c_str(), errno != 0 ? strerror(errno) : "refused", kRetryMs / 1000);
    link->failure_logged = true;
}

void CtrlRelay::Drop(Link* link, long now, const char* why) {
    Log(ANDROID_LOG_WARN, "control socket %s: %s", link->path.c_str(), why);
    wpa_ctrl_close(link->ctrl);
    link->ctrl = nullptr;
    link->next_ms = now;
}

void CtrlRelay::Receive(int fd) {
    for (Link& link : links_) {
        if (link.ctrl == nullptr || wpa_ctrl_get_fd(link.ctrl) != fd) continue;
        while (wpa_ctrl_pending(link.ctrl) == 1) {
            char message[4096];
            size_t length = sizeof(message) - 1;
            if (wpa_ctrl_recv(link.ctrl, message, &length) != 0) {
                Drop(&link, NowMs(), "the daemon went away");
                return;
            }
            message[length] = '\0';
            Relay(message, length);
        }
        link.next_ms = NowMs() + kCheckMs;
    }
}

int CtrlRelay::Tick() {
    long now = NowMs();
    long next = -1;
    for (Link& link : links_) {
        if (link.next_ms <= now) {
            if (link.ctrl == nullptr) {
                Attach(&link, now);
            } else {
                // A daemon that restarted has forgotten this monitor: ask it, and attach again
                // when it does not answer. Events that arrive meanwhile are relayed.
                char reply[32];
                size_t length = sizeof(reply);
                if (wpa_ctrl_request(link.ctrl, "PING", 4, reply, &length, Relay) != 0 ||
                    length < 4 || memcmp(reply, "PONG", 4) != 0)
                    Drop(&link, now, "no answer; attaching again");
                else
                    link.next_ms = now + kCheckMs;
            }
        }
        if (next < 0 || link.next_ms < next) next = link.next_ms;
    }
    if (next < 0) return -1;
    return next <= now ? 0 : static_cast<int>(next - now);
}

}  // namespace wlanmgrd
