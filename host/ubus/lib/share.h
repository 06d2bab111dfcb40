// The bus across processes. When a bus daemon (the `ubusd` stand-in) listens on the socket a
// connection names, every process on that bus serves its objects and events to the others
// through a socket of its own, and objects of other processes are reached through local
// proxies. Without a socket at that path the bus stays within the process, as tests use it.
#ifndef UBUS_STANDIN_SHARE_H
#define UBUS_STANDIN_SHARE_H

#include <stdint.h>

#include "libubus.h"

namespace ubus_standin {

// After a context connected: 0 (shared when a bus daemon listens at path, in-process when
// nothing is there), or UBUS_STATUS_CONNECTION_FAILED when something is at path but no bus
// daemon answers.
int JoinSharedBus(ubus_context* ctx, const char* path);

// When a context leaves the bus; the last one on a shared bus stops serving this process.
void LeaveSharedBus(ubus_context* ctx);

// After a local lookup failed: asks the other processes on the bus and, when one has the
// object, registers a proxy for it. Returns whether *id now names it.
bool LookupShared(ubus_context* ctx, const char* path, uint32_t* id);

}  // namespace ubus_standin

#endif
