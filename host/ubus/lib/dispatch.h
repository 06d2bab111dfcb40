// Running queued work on the owner's side.
#ifndef UBUS_STANDIN_DISPATCH_H
#define UBUS_STANDIN_DISPATCH_H

#include "client.h"

namespace ubus_standin {

// Run the handler of a queued call or event on the calling (owner's) thread.
void RunInvoke(Client* owner, WorkItem* item);
void RunEvent(Client* owner, WorkItem* item);

// Connects a context without consulting the failure switches and without initialising this
// process's event loop (for the test client, which stands for another process).
int ConnectContext(ubus_context* ctx);

}  // namespace ubus_standin

#endif
