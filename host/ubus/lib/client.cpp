#include "client.h"

#include <unistd.h>

namespace ubus_standin {

Client::Client(ubus_context* ctx, uint32_t id, int event_fd)
    : ctx_(ctx), id_(id), event_fd_(event_fd) {}

Client::~Client() { close(event_fd_); }

void Client::Enqueue(WorkItem item) {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    queue_.push_back(std::move(item));
    uint64_t one = 1;
    ssize_t written = write(event_fd_, &one, sizeof(one));
    (void)written;  // the counter cannot overflow with one increment per item
}

void Client::Acknowledge() {
    uint64_t count;
    ssize_t got = read(event_fd_, &count, sizeof(count));
    (void)got;  // EAGAIN: nothing was announced since the last acknowledgement
}

bool Client::Dequeue(WorkItem* item) {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    if (queue_.empty()) return false;
    *item = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

std::deque<WorkItem> Client::TakeAll() {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    std::deque<WorkItem> all;
    all.swap(queue_);
    return all;
}

}  // namespace ubus_standin
