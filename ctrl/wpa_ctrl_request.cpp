#include <errno.h>
#include <string.h>
#include <sys/socket.h>

#include "ctrl/ctrl_wait.h"
#include "wlan_os.h"
#include "wpa_ctrl.h"

namespace {

constexpr long long kReplyWaitMs = 10000;
constexpr long long kBusyGiveUpMs = 5000;

// Sends one command, retrying once a second while the daemon's queue is full, for at most
// about 5 seconds after the first refusal.
int send_command(int s, const char* cmd, size_t cmd_len) {
    bool busy_seen = false;
    long long first_busy_ms = 0;
    for (;;) {
        if (send(s, cmd, cmd_len, MSG_NOSIGNAL) >= 0) return 0;
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EBUSY) return -1;
        const long long now = ctrl_now_ms();
        if (!busy_seen) {
            busy_seen = true;
            first_busy_ms = now;
        } else if (now - first_busy_ms > kBusyGiveUpMs) {
            return -1;
        }
        os_sleep(1, 0);
    }
}

// Hands an event message to the callback as a terminated text. When the message filled the
// buffer its last byte gives way to the terminator.
void deliver_event(char* buf, size_t room, size_t received, void (*msg_cb)(char*, size_t)) {
    const size_t len = received < room ? received : received - 1;
    buf[len] = '\0';
    msg_cb(buf, len);
}

int attach_or_detach(wpa_ctrl* ctrl, const char* command) {
    char reply[10];
    size_t len = sizeof(reply);
    const int res = wpa_ctrl_request(ctrl, command, 6, reply, &len, nullptr);
    if (res < 0) return res;
    return len == 3 && memcmp(reply, "OK\n", 3) == 0 ? 0 : -1;
}

}  // namespace

extern "C" WLAN_EXPORT int wpa_ctrl_request(wpa_ctrl* ctrl, const char* cmd, size_t cmd_len,
                                            char* reply, size_t* reply_len,
                                            void (*msg_cb)(char* msg, size_t len)) {
    if (ctrl == nullptr || reply_len == nullptr || (reply == nullptr && *reply_len != 0) ||
        (cmd == nullptr && cmd_len != 0))
        return -1;
    if (send_command(ctrl->s, cmd, cmd_len) < 0) return -1;

    // The reply must come within 10 seconds of sending; event messages in between do not
    // extend that, so a daemon that keeps sending events cannot hold the caller forever.
    const long long deadline = ctrl_now_ms() + kReplyWaitMs;
    const size_t room = *reply_len;
    for (;;) {
        const int ready = ctrl_wait_readable(ctrl->s, deadline - ctrl_now_ms());
        if (ready < 0) return ready;
        if (ready == 0) return -2;
        const ssize_t received = recv(ctrl->s, reply, room, 0);
        if (received < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return static_cast<int>(received);
        }
        if (received > 0 && reply[0] == '<') {
            if (msg_cb != nullptr)
                deliver_event(reply, room, static_cast<size_t>(received), msg_cb);
            continue;
        }
        *reply_len = static_cast<size_t>(received);
        return 0;
    }
}

extern "C" WLAN_EXPORT int wpa_ctrl_attach(wpa_ctrl* ctrl) {
    return attach_or_detach(ctrl, "ATTACH");
}

extern "C" WLAN_EXPORT int wpa_ctrl_detach(wpa_ctrl* ctrl) {
    return attach_or_detach(ctrl, "DETACH");
}
