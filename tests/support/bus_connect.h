#ifndef WLAN_TESTS_BUS_CONNECT_H
#define WLAN_TESTS_BUS_CONNECT_H

#include <libubus.h>

// A bus connection of the test's own: a host connection handed to the agent, or a peer that
// stands for another process (web UI, platform manager). ubus_connect initialises uloop; were
// uloop_handle_sigchld still set, uloop's SIGCHLD handler would stay installed and the agent's
// loop would reap the children of every thread of the test process. So, as every host that
// connects for itself, the test clears the flag first.
namespace test_bus {

inline ubus_context* Connect() {
    uloop_handle_sigchld = false;
    return ubus_connect(nullptr);
}

}  // namespace test_bus

#endif
