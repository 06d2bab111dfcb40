// Connecting, closing, and handling what is queued for a context.
#include <sys/eventfd.h>
#include <unistd.h>

#include "bus.h"
#include "dispatch.h"
#include "failure_switches.h"
#include "share.h"

using ubus_standin::Bus;
using ubus_standin::Client;
using ubus_standin::WorkItem;

namespace {

void HandleQueued(uloop_fd* sock, unsigned int) {
    ubus_context* ctx = container_of(sock, ubus_context, sock);
    Client* client;
    {
        std::lock_guard<std::mutex> lock(Bus::Get().mutex());
        client = Bus::Get().ClientOf(ctx, "ubus_handle_event");
    }
    ubus_standin::GuardScope scope(client->guard(), ctx, "ubus_handle_event");
    client->Acknowledge();
    WorkItem item;
    while (client->Dequeue(&item)) {
        if (item.kind == WorkItem::Kind::kInvoke)
            ubus_standin::RunInvoke(client, &item);
        else
            ubus_standin::RunEvent(client, &item);
    }
}

int CompareIds(const void* k1, const void* k2, void*) {
    uint32_t id1 = *static_cast<const uint32_t*>(k1);
    uint32_t id2 = *static_cast<const uint32_t*>(k2);
    return id1 < id2 ? -1 : id1 > id2;
}

}  // namespace

namespace ubus_standin {

int ConnectContext(ubus_context* ctx) {
    memset(ctx, 0, sizeof(*ctx));
    int event_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (event_fd < 0) return UBUS_STATUS_CONNECTION_FAILED;
    INIT_LIST_HEAD(&ctx->requests);
    INIT_LIST_HEAD(&ctx->pending);
    INIT_LIST_HEAD(&ctx->auto_subscribers);
    avl_init(&ctx->objects, CompareIds, false, nullptr);
    ctx->sock.fd = event_fd;
    ctx->sock.cb = HandleQueued;
    std::lock_guard<std::mutex> lock(Bus::Get().mutex());
    ctx->local_id = Bus::Get().AddClient(ctx, event_fd)->id();
    return 0;
}

}  // namespace ubus_standin

// As the device's libubus does, the loop is initialised first, even for a connection that then
// fails: its signal handlers are in place from the first attempt on.
int ubus_connect_ctx(ubus_context* ctx, const char* path) {
    uloop_init();
    int status;
    if (ubus_standin::ConnectFailures().Trip(&status)) return UBUS_STATUS_CONNECTION_FAILED;
    status = ubus_standin::ConnectContext(ctx);
    if (status != 0) return status;
    status = ubus_standin::JoinSharedBus(ctx, path);
    if (status != 0) ubus_shutdown(ctx);
    return status;
}

ubus_context* ubus_connect(const char* path) {
    auto* ctx = static_cast<ubus_context*>(calloc(1, sizeof(ubus_context)));
    if (ctx == nullptr) return nullptr;
    if (ubus_connect_ctx(ctx, path) != 0) {
        free(ctx);
        return nullptr;
    }
    return ctx;
}

// Objects leave the bus (their memory is not touched: it may be gone already); calls still
// queued for them, or deferred by their handlers, end with UBUS_STATUS_NOT_FOUND so that no
// caller waits for a context that is gone.
void ubus_shutdown(ubus_context* ctx) {
    Bus& bus = Bus::Get();
    std::unique_ptr<Client> client;
    {
        std::lock_guard<std::mutex> lock(bus.mutex());
        Client* found = bus.ClientOf(ctx, "ubus_free");
        found->guard()->Enter(ctx, "ubus_free");
        found->guard()->Leave();
        std::vector<uint32_t> owned;
        for (const auto& entry : bus.objects())
            if (entry.second.owner == found) owned.push_back(entry.first);
        for (uint32_t id : owned) bus.RemoveObject(id);
        client = bus.RemoveClient(ctx);
    }
    for (WorkItem& item : client->TakeAll())
        if (item.call) item.call->Complete(UBUS_STATUS_NOT_FOUND);
    for (auto& call : client->handling()) call.second->Complete(UBUS_STATUS_NOT_FOUND);
    uloop_fd_delete(&ctx->sock);
    client.reset();  // closes the descriptor
    ctx->sock.fd = -1;
    // Calls from other processes waiting for this context have ended above.
    ubus_standin::LeaveSharedBus(ctx);
}

void ubus_free(ubus_context* ctx) {
    if (ctx == nullptr) return;
    ubus_shutdown(ctx);
    free(ctx);
}
