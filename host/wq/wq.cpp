#include "wq.h"

#include <pthread.h>
#include <stdint.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct Work {
    wq_func_t job;
    void* argument;
    wq_func_t release;
    void* release_argument;
};

void Release(const Work& work) {
    if (work.release != nullptr) work.release(work.release_argument);
}

struct Queue {
    pthread_t thread{};
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Work> pending;
    bool closing = false;
};

// Live queues by handle number. Handles are numbers rather than addresses so that a handle of a
// destroyed queue can be recognised and never names a newer queue. The registry is never freed:
// queue threads may still be running while static objects are destroyed at exit.
struct Registry {
    std::mutex mutex;
    std::map<uintptr_t, std::shared_ptr<Queue>> queues;
    uintptr_t next_handle = 1;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

std::shared_ptr<Queue> Find(wq_t* wq) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto it = registry.queues.find(reinterpret_cast<uintptr_t>(wq));
    return it == registry.queues.end() ? nullptr : it->second;
}

std::shared_ptr<Queue> Unregister(wq_t* wq) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto it = registry.queues.find(reinterpret_cast<uintptr_t>(wq));
    if (it == registry.queues.end()) return nullptr;
    std::shared_ptr<Queue> queue = it->second;
    registry.queues.erase(it);
    return queue;
}

void* QueueThread(void* arg) {
    // The thread shares ownership so that a queue destroyed by one of its own jobs outlives it.
    std::unique_ptr<std::shared_ptr<Queue>> owner(static_cast<std::shared_ptr<Queue>*>(arg));
    Queue& queue = **owner;
    std::unique_lock<std::mutex> lock(queue.mutex);
    for (;;) {
        queue.wake.wait(lock, [&queue] { return queue.closing || !queue.pending.empty(); });
        if (queue.closing) break;
        Work work = queue.pending.front();
        queue.pending.pop_front();
        lock.unlock();
        work.job(work.argument);
        Release(work);
        lock.lock();
    }
    return nullptr;
}

}  // namespace

extern "C" wq_t* create_wq(void) {
    auto queue = std::make_shared<Queue>();
    auto* thread_owner = new std::shared_ptr<Queue>(queue);
    if (pthread_create(&queue->thread, nullptr, QueueThread, thread_owner) != 0) {
        delete thread_owner;
        return nullptr;
    }
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    uintptr_t handle = registry.next_handle++;
    registry.queues.emplace(handle, std::move(queue));
    return reinterpret_cast<wq_t*>(handle);
}

extern "C" int put_work_to_wq(wq_t* wq, wq_func_t job, void* argument, wq_func_t release,
                              void* release_argument) {
    if (wq == nullptr || job == nullptr) return -1;
    std::shared_ptr<Queue> queue = Find(wq);
    if (queue == nullptr) return -1;
    std::lock_guard<std::mutex> lock(queue->mutex);
    // Destroyed between the lookup and now.
    if (queue->closing) return -1;
    queue->pending.push_back(Work{job, argument, release, release_argument});
    queue->wake.notify_one();
    return 0;
}

extern "C" void destroy_wq(wq_t* wq) {
    if (wq == nullptr) return;
    std::shared_ptr<Queue> queue = Unregister(wq);
    if (queue == nullptr) return;

    std::deque<Work> dropped;
    {
        std::lock_guard<std::mutex> lock(queue->mutex);
        queue->closing = true;
        dropped.swap(queue->pending);
        queue->wake.notify_one();
    }
    for (const Work& work : dropped) Release(work);

    if (pthread_equal(pthread_self(), queue->thread)) {
        // Called from one of the queue's own jobs: its thread ends when that job returns.
        pthread_detach(queue->thread);
        return;
    }
    pthread_join(queue->thread, nullptr);
}
