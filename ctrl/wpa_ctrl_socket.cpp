#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>

#include "util/device_paths.h"
#include "wpa_ctrl.h"

namespace {

// Numbers the local socket files of this process; rises at every open, failed ones included.
std::atomic<int> g_open_counter{0};

bool bind_local(wpa_ctrl* ctrl) {
    const sockaddr* addr = reinterpret_cast<const sockaddr*>(&ctrl->local);
    if (bind(ctrl->s, addr, sizeof(ctrl->local)) == 0) return true;
    if (errno != EADDRINUSE) return false;
    // Left behind by an earlier process that had the same id.
    unlink(ctrl->local.sun_path);
    return bind(ctrl->s, addr, sizeof(ctrl->local)) == 0;
}

// Undoes a half-made handle whose local socket file is already bound.
void discard_bound(wpa_ctrl* ctrl) {
    unlink(ctrl->local.sun_path);
    close(ctrl->s);
    free(ctrl);
}

}  // namespace

extern "C" WLAN_EXPORT wpa_ctrl* wpa_ctrl_open(const char* ctrl_path) {
    if (ctrl_path == nullptr) return nullptr;
    wpa_ctrl* ctrl = static_cast<wpa_ctrl*>(calloc(1, sizeof(wpa_ctrl)));
    if (ctrl == nullptr) return nullptr;

    // Close-on-exec: commands the host runs must not inherit the connection.
    ctrl->s = socket(PF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (ctrl->s < 0) {
        free(ctrl);
        return nullptr;
    }
    const int number = ++g_open_counter;
    ctrl->local.sun_family = AF_UNIX;
    snprintf(ctrl->local.sun_path, sizeof(ctrl->local.sun_path), WLAN_WPA_CTRL_LOCAL_SOCKET_FORMAT,
             static_cast<int>(getpid()), number);
    if (!bind_local(ctrl)) {
        close(ctrl->s);
        free(ctrl);
        return nullptr;
    }

    const size_t path_len = strlen(ctrl_path);
    if (path_len >= sizeof(ctrl->dest.sun_path)) {
        discard_bound(ctrl);
        return nullptr;
    }
    ctrl->dest.sun_family = AF_UNIX;
    memcpy(ctrl->dest.sun_path, ctrl_path, path_len + 1);
    if (connect(ctrl->s, reinterpret_cast<const sockaddr*>(&ctrl->dest), sizeof(ctrl->dest)) < 0) {
        discard_bound(ctrl);
        return nullptr;
    }

    const int flags = fcntl(ctrl->s, F_GETFL);
    if (flags < 0 || fcntl(ctrl->s, F_SETFL, flags | O_NONBLOCK) < 0)
        perror("fcntl(ctrl->s, O_NONBLOCK)");
    return ctrl;
}

extern "C" WLAN_EXPORT void wpa_ctrl_close(wpa_ctrl* ctrl) {
    if (ctrl == nullptr) return;
    unlink(ctrl->local.sun_path);
    close(ctrl->s);
    free(ctrl);
}

extern "C" WLAN_EXPORT int wpa_ctrl_get_fd(wpa_ctrl* ctrl) {
    return ctrl != nullptr ? ctrl->s : -1;
}
