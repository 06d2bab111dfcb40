#include "context_guard.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include "libubus.h"
#include "uloop_thread.h"

namespace ubus_standin {

void Die(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fputs("ubus: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
    abort();
}

void ThreadGuard::Enter(const ubus_context* ctx, const char* call) {
    if (ctx->sock.registered && uloop_standin_runs_on_other_thread())
        Die("%s: context %p used outside its loop thread while the loop runs", call,
            static_cast<const void*>(ctx));
    std::lock_guard<std::mutex> lock(mutex_);
    if (depth_ > 0 && !pthread_equal(user_, pthread_self()))
        Die("%s: context %p used by two threads at once", call, static_cast<const void*>(ctx));
    user_ = pthread_self();
    ++depth_;
}

void ThreadGuard::Leave() {
    std::lock_guard<std::mutex> lock(mutex_);
    --depth_;
}

}  // namespace ubus_standin
