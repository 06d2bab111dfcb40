// Catches a context used from two threads at once, or from another thread while the loop that
// watches it runs: upstream libubus then corrupts its state or hangs, so the stand-in aborts
// with a message instead.
#ifndef UBUS_STANDIN_CONTEXT_GUARD_H
#define UBUS_STANDIN_CONTEXT_GUARD_H

#include <pthread.h>

#include <mutex>

struct ubus_context;

namespace ubus_standin {

class ThreadGuard {
public:
    // `call` names the operation in the abort message. Re-entry from the same thread (a
    // handler replying during dispatch) is allowed.
    void Enter(const ubus_context* ctx, const char* call);
    void Leave();

private:
    std::mutex mutex_;
    pthread_t user_{};
    int depth_ = 0;
};

class GuardScope {
public:
    GuardScope(ThreadGuard* guard, const ubus_context* ctx, const char* call) : guard_(guard) {
        guard_->Enter(ctx, call);
    }
    ~GuardScope() { guard_->Leave(); }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;

private:
    ThreadGuard* guard_;
};

// Prints "ubus: <what>" to standard error and aborts.
[[noreturn]] void Die(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace ubus_standin

#endif
