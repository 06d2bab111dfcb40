// Timeouts and child processes of the event loop. Like the rest of the loop's bookkeeping they
// belong to the loop thread.
#include <errno.h>
#include <limits.h>
#include <sys/wait.h>
#include <time.h>

#include "uloop_internal.h"

namespace {

LIST_HEAD(g_timeouts);
LIST_HEAD(g_processes);

timeval Now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    timeval tv;
    tv.tv_sec = ts.tv_sec;
    tv.tv_usec = ts.tv_nsec / 1000;
    return tv;
}

int64_t MillisecondsBetween(const timeval& later, const timeval& earlier) {
    return static_cast<int64_t>(later.tv_sec - earlier.tv_sec) * 1000 +
           (later.tv_usec - earlier.tv_usec) / 1000;
}

}  // namespace

int uloop_timeout_add(uloop_timeout* timeout) {
    if (timeout->pending) return -1;
    list_head* before = &g_timeouts;
    uloop_timeout* cur;
    list_for_each_entry(cur, &g_timeouts, list) {
        if (MillisecondsBetween(cur->time, timeout->time) > 0) {
            before = &cur->list;
            break;
        }
    }
    list_add_tail(&timeout->list, before);
    timeout->pending = true;
    return 0;
}

int uloop_timeout_set(uloop_timeout* timeout, int msecs) {
    if (timeout->pending) uloop_timeout_cancel(timeout);
    timeval due = Now();
    due.tv_sec += msecs / 1000;
    due.tv_usec += (msecs % 1000) * 1000;
    if (due.tv_usec >= 1000000) {
        due.tv_sec++;
        due.tv_usec -= 1000000;
    } else if (due.tv_usec < 0) {
        due.tv_sec--;
        due.tv_usec += 1000000;
    }
    timeout->time = due;
    return uloop_timeout_add(timeout);
}

int uloop_timeout_cancel(uloop_timeout* timeout) {
    if (!timeout->pending) return -1;
    list_del(&timeout->list);
    timeout->pending = false;
    return 0;
}

int64_t uloop_timeout_remaining64(uloop_timeout* timeout) {
    if (!timeout->pending) return -1;
    return MillisecondsBetween(timeout->time, Now());
}

int uloop_timeout_remaining(uloop_timeout* timeout) {
    int64_t left = uloop_timeout_remaining64(timeout);
    if (left > INT_MAX) return INT_MAX;
    if (left < INT_MIN) return INT_MIN;
    return static_cast<int>(left);
}

int uloop_process_add(uloop_process* p) {
    if (p->pending) return -1;
    list_head* before = &g_processes;
    uloop_process* cur;
    list_for_each_entry(cur, &g_processes, list) {
        if (cur->pid > p->pid) {
            before = &cur->list;
            break;
        }
    }
    list_add_tail(&p->list, before);
    p->pending = true;
    return 0;
}

int uloop_process_delete(uloop_process* p) {
    if (!p->pending) return -1;
    list_del(&p->list);
    p->pending = false;
    return 0;
}

namespace uloop_internal {

void RunDueTimeouts() {
    timeval now = Now();
    while (!list_empty(&g_timeouts)) {
        uloop_timeout* first = list_first_entry(&g_timeouts, uloop_timeout, list);
        if (MillisecondsBetween(first->time, now) > 0) break;
        uloop_timeout_cancel(first);
        if (first->cb != nullptr) first->cb(first);
    }
}

int MillisecondsToNextTimeout() {
    if (list_empty(&g_timeouts)) return -1;
    uloop_timeout* first = list_first_entry(&g_timeouts, uloop_timeout, list);
    int64_t left = MillisecondsBetween(first->time, Now());
    if (left < 0) return 0;
    return left > INT_MAX ? INT_MAX : static_cast<int>(left);
}

// Every exited child is reaped, whoever started it: a thread waiting for its own child then
// finds it gone (ECHILD).
void ReapChildren() {
    for (;;) {
        int status = 0;
        pid_t pid = waitpid(-1, &status, WNOHANG);
        if (pid < 0 && errno == EINTR) continue;
        if (pid <= 0) return;
        uloop_process *p, *next;
        list_for_each_entry_safe(p, next, &g_processes, list) {
            if (p->pid != pid) continue;
            uloop_process_delete(p);
            p->cb(p, status);
        }
    }
}

void ClearTimeouts() {
    uloop_timeout *t, *next;
    list_for_each_entry_safe(t, next, &g_timeouts, list) uloop_timeout_cancel(t);
}

void ClearProcesses() {
    uloop_process *p, *next;
    list_for_each_entry_safe(p, next, &g_processes, list) uloop_process_delete(p);
}

}  // namespace uloop_internal
