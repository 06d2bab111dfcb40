#include "ubus/work_queue.h"

#include <mutex>

namespace {

wq_t* g_queue = nullptr;
// Keeps a put off a queue that Deinit is destroying.
std::mutex g_queue_mutex;

}  // namespace

bool ha_wq_ready() {
    std::lock_guard<std::mutex> lock(g_queue_mutex);
    return g_queue != nullptr;
}

int ha_wq_put(wq_func_t job, void* argument, wq_func_t release, void* release_argument) {
    std::lock_guard<std::mutex> lock(g_queue_mutex);
    if (g_queue == nullptr) return -1;
    return put_work_to_wq(g_queue, job, argument, release, release_argument) == 0 ? 0 : -1;
}

bool ha_wq_create() {
    wq_t* queue = create_wq();
    std::lock_guard<std::mutex> lock(g_queue_mutex);
    g_queue = queue;
    return queue != nullptr;
}

void ha_wq_destroy() {
    wq_t* queue;
    {
        std::lock_guard<std::mutex> lock(g_queue_mutex);
        queue = g_queue;
        g_queue = nullptr;
    }
    // Outside the lock: a running job may still try to queue more work and must not block.
    // Deinit also runs after an Init that never created the queue; the platform library is
    // not promised to accept a null queue.
    if (queue != nullptr) destroy_wq(queue);
}
