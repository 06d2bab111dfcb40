#ifndef WPA_CTRL_H
#define WPA_CTRL_H

#include <stddef.h>
#include <sys/time.h>
#include <sys/un.h>

#include "wlan_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// Client of the Unix-datagram control interface of hostapd and wpa_supplicant. A handle binds
// its own socket file "/tmp/wpa_ctrl_<pid>-<n>" and is connected to the daemon's socket file.
// One handle is used by one thread at a time.
struct wpa_ctrl {
    int s;                     // socket descriptor (non-blocking, close-on-exec)
    struct sockaddr_un local;  // the client's own socket file
    struct sockaddr_un dest;   // the daemon's socket file
};

// Opens a connection to the daemon socket at ctrl_path. Returns null on failure, leaving no
// socket file behind.
WLAN_EXPORT struct wpa_ctrl* wpa_ctrl_open(const char* ctrl_path);

// Removes the local socket file, closes the socket and frees the handle; null is ignored.
WLAN_EXPORT void wpa_ctrl_close(struct wpa_ctrl* ctrl);

// Sends cmd and receives the reply into reply (room *reply_len bytes; a longer reply is cut to
// the room), storing the received length through reply_len. The reply is not terminated.
// Messages that start with '<' arriving meanwhile are unsolicited events: they are passed,
// terminated, to msg_cb when it is given and otherwise dropped. Returns 0, -1 on failure, -2
// when no reply arrived within 10 seconds of sending, or a negative system result.
WLAN_EXPORT int wpa_ctrl_request(struct wpa_ctrl* ctrl, const char* cmd, size_t cmd_len,
                                 char* reply, size_t* reply_len,
                                 void (*msg_cb)(char* msg, size_t len));

// Registers (or removes) this handle as a monitor for event messages. 0 when the daemon
// answered "OK\n", the request's negative result when it failed, -1 for any other answer.
WLAN_EXPORT int wpa_ctrl_attach(struct wpa_ctrl* ctrl);
WLAN_EXPORT int wpa_ctrl_detach(struct wpa_ctrl* ctrl);

// Receives one waiting message of up to *reply_len bytes without blocking and stores the
// length received. 0 or negative.
WLAN_EXPORT int wpa_ctrl_recv(struct wpa_ctrl* ctrl, char* reply, size_t* reply_len);

// 1 when a message is waiting, otherwise 0.
WLAN_EXPORT int wpa_ctrl_pending(struct wpa_ctrl* ctrl);

// As wpa_ctrl_pending, waiting up to tv for a message; a null tv means no wait.
WLAN_EXPORT int wpa_ctrl_pending_block(struct wpa_ctrl* ctrl, const struct timeval* tv);

// The socket descriptor, for the caller's own poll loop.
WLAN_EXPORT int wpa_ctrl_get_fd(struct wpa_ctrl* ctrl);

#ifdef __cplusplus
}
#endif

#endif
