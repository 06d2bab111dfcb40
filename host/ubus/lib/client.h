// The bus side of one context: its queue of calls and events, the descriptor that announces
// them, and the calls its handlers are working on.
#ifndef UBUS_STANDIN_CLIENT_H
#define UBUS_STANDIN_CLIENT_H

#include <stdint.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "context_guard.h"
#include "libubus.h"
#include "message.h"
#include "pending_call.h"

namespace ubus_standin {

struct WorkItem {
    enum class Kind { kInvoke, kEvent };
    Kind kind = Kind::kEvent;
    uint32_t object_id = 0;
    std::string name;  // method or event type
    Message message;
    std::shared_ptr<PendingCall> call;  // invocations only
    uint32_t peer = 0;
    uint16_t seq = 0;
};

class Client {
public:
    // Takes the eventfd that becomes ctx->sock.fd.
    Client(ubus_context* ctx, uint32_t id, int event_fd);
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    ubus_context* ctx() const { return ctx_; }
    uint32_t id() const { return id_; }
    ThreadGuard* guard() { return &guard_; }

    // Any thread: queue work and make ctx->sock readable.
    void Enqueue(WorkItem item);
    // Owner: empty the descriptor's counter; take the next item.
    void Acknowledge();
    bool Dequeue(WorkItem* item);
    std::deque<WorkItem> TakeAll();

    // Owner: calls whose handler runs or deferred them, by (caller, sequence number).
    static uint64_t CallKey(uint32_t peer, uint16_t seq) {
        return (static_cast<uint64_t>(peer) << 16) | seq;
    }
    std::map<uint64_t, std::shared_ptr<PendingCall>>& handling() { return handling_; }

    // Caller: sequence number of the next call.
    uint16_t NextSeq() { return ++next_seq_; }

private:
    ubus_context* ctx_;
    uint32_t id_;
    int event_fd_;
    ThreadGuard guard_;
    std::mutex queue_mutex_;
    std::deque<WorkItem> queue_;
    std::map<uint64_t, std::shared_ptr<PendingCall>> handling_;
    uint16_t next_seq_ = 0;
};

}  // namespace ubus_standin

#endif
