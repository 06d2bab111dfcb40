// Method calls: the caller's wait, the owner's handler run, replies and deferred completion.
#include <chrono>

#include "bus.h"
#include "dispatch.h"

using ubus_standin::Bus;
using ubus_standin::Client;
using ubus_standin::GuardScope;
using ubus_standin::PendingCall;
using ubus_standin::WorkItem;

namespace {

const ubus_method* FindMethod(const ubus_object* obj, const char* name) {
    for (int i = 0; i < obj->n_methods; ++i) {
        const ubus_method& method = obj->methods[i];
        if (method.name == nullptr || strcmp(method.name, name) == 0) return &method;
    }
    return nullptr;
}

}  // namespace

namespace ubus_standin {

void RunInvoke(Client* owner, WorkItem* item) {
    ubus_object* obj = nullptr;
    {
        std::lock_guard<std::mutex> lock(Bus::Get().mutex());
        auto it = Bus::Get().objects().find(item->object_id);
        if (it != Bus::Get().objects().end() && it->second.owner == owner) obj = it->second.object;
    }
    if (obj == nullptr) {
        item->call->Complete(UBUS_STATUS_NOT_FOUND);
        return;
    }
    const ubus_method* method = FindMethod(obj, item->name.c_str());
    if (method == nullptr || method->handler == nullptr) {
        item->call->Complete(UBUS_STATUS_METHOD_NOT_FOUND);
        return;
    }
    ubus_request_data req;
    memset(&req, 0, sizeof(req));
    req.object = obj->id;
    req.peer = item->peer;
    req.seq = item->seq;
    req.fd = -1;
    req.req_fd = -1;
    uint64_t key = Client::CallKey(item->peer, item->seq);
    owner->handling()[key] = item->call;
    int status = method->handler(owner->ctx(), obj, &req, item->name.c_str(), item->message.Attr());
    if (req.deferred) return;  // completed later by ubus_complete_deferred_request
    owner->handling().erase(key);
    item->call->Complete(status);
}

}  // namespace ubus_standin

int ubus_invoke_fd(ubus_context* ctx, uint32_t obj, const char* method, blob_attr* msg,
                   ubus_data_handler_t cb, void* priv, int timeout, int fd) {
    Bus& bus = Bus::Get();
    Client* caller;
    {
        std::lock_guard<std::mutex> lock(bus.mutex());
        caller = bus.ClientOf(ctx, "ubus_invoke");
    }
    GuardScope scope(caller->guard(), ctx, "ubus_invoke");
    (void)fd;  // passing descriptors is not supported
    if (method == nullptr) return UBUS_STATUS_INVALID_ARGUMENT;
    auto call = std::make_shared<PendingCall>();
    uint16_t seq = caller->NextSeq();
    {
        std::lock_guard<std::mutex> lock(bus.mutex());
        auto it = bus.objects().find(obj);
        if (it == bus.objects().end()) return UBUS_STATUS_NOT_FOUND;
        WorkItem item;
        item.kind = WorkItem::Kind::kInvoke;
        item.object_id = obj;
        item.name = method;
        item.message = ubus_standin::Message(msg);
        item.call = call;
        item.peer = caller->id();
        item.seq = seq;
        it->second.owner->Enqueue(std::move(item));
    }
    ubus_request req;
    memset(&req, 0, sizeof(req));
    req.ctx = ctx;
    req.priv = priv;
    req.data_cb = cb;
    req.peer = obj;
    req.seq = seq;
    req.fd = -1;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
    int status = call->Await(timeout != 0, deadline, [&req, cb](blob_attr* reply) {
        if (cb != nullptr) cb(&req, UBUS_MSG_DATA, reply);
    });
    return status;
}

int ubus_send_reply(ubus_context* ctx, ubus_request_data* req, blob_attr* msg) {
    Bus& bus = Bus::Get();
    Client* owner;
    {
        std::lock_guard<std::mutex> lock(bus.mutex());
        owner = bus.ClientOf(ctx, "ubus_send_reply");
    }
    GuardScope scope(owner->guard(), ctx, "ubus_send_reply");
    auto it = owner->handling().find(Client::CallKey(req->peer, req->seq));
    if (it == owner->handling().end()) return UBUS_STATUS_INVALID_ARGUMENT;
    it->second->AddReply(msg);
    return 0;
}

void ubus_complete_deferred_request(ubus_context* ctx, ubus_request_data* req, int ret) {
    Bus& bus = Bus::Get();
    Client* owner;
    {
        std::lock_guard<std::mutex> lock(bus.mutex());
        owner = bus.ClientOf(ctx, "ubus_complete_deferred_request");
    }
    GuardScope scope(owner->guard(), ctx, "ubus_complete_deferred_request");
    auto it = owner->handling().find(Client::CallKey(req->peer, req->seq));
    if (it == owner->handling().end()) return;
    std::shared_ptr<PendingCall> call = it->second;
    owner->handling().erase(it);
    call->Complete(ret);
}
