#include <errno.h>
#include <poll.h>
#include <sys/socket.h>

#include "ctrl/ctrl_wait.h"
#include "wpa_ctrl.h"

namespace {

// About 285 years; longer waits are cut to this, which keeps the deadline arithmetic in range.
constexpr long long kLongestWaitMs = 1LL << 53;

}  // namespace

extern "C" WLAN_EXPORT int wpa_ctrl_recv(wpa_ctrl* ctrl, char* reply, size_t* reply_len) {
    if (ctrl == nullptr || reply_len == nullptr || (reply == nullptr && *reply_len != 0)) return -1;
    ssize_t received;
    do {
        received = recv(ctrl->s, reply, *reply_len, 0);
    } while (received < 0 && errno == EINTR);
    if (received < 0) return static_cast<int>(received);
    *reply_len = static_cast<size_t>(received);
    return 0;
}

extern "C" WLAN_EXPORT int wpa_ctrl_pending_block(wpa_ctrl* ctrl, const struct timeval* tv) {
    if (ctrl == nullptr) return 0;
    long long wait_ms = 0;
    if (tv != nullptr && tv->tv_sec >= 0 && tv->tv_usec >= 0) {
        // Rounded up, so a short wait still waits rather than only looking.
        const long long max_sec = kLongestWaitMs / 1000;
        const long long sec = tv->tv_sec < max_sec ? tv->tv_sec : max_sec;
        wait_ms = sec * 1000 + (static_cast<long long>(tv->tv_usec) + 999) / 1000;
    }
    const int events = ctrl_wait_readable(ctrl->s, wait_ms);
    return events > 0 && (events & POLLIN) != 0 ? 1 : 0;
}

extern "C" WLAN_EXPORT int wpa_ctrl_pending(wpa_ctrl* ctrl) {
    return wpa_ctrl_pending_block(ctrl, nullptr);
}
