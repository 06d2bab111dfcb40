#ifndef WLAN_HOST_BUS_CONNECT_H
#define WLAN_HOST_BUS_CONNECT_H

#include <libubus.h>

// A bus connection of the test's own (a host connection, or a peer standing for another
// process). ubus_connect initialises uloop; with uloop_handle_sigchld still set, uloop's SIGCHLD
// handler would stay and a running loop would reap the children of every thread of the test
// process, so the flag is cleared first, as every host that connects for itself does.
namespace test_bus {

inline ubus_context* Connect() {
    uloop_handle_sigchld = false;
    return ubus_connect(nullptr);
}

}  // namespace test_bus

#endif
