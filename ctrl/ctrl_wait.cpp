#include "ctrl/ctrl_wait.h"

#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <time.h>

long long ctrl_now_ms() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

int ctrl_wait_readable(int fd, long long timeout_ms) {
    const long long kLongest = 1LL << 53;  // keeps the deadline arithmetic in range
    if (timeout_ms < 0) timeout_ms = 0;
    if (timeout_ms > kLongest) timeout_ms = kLongest;
    const long long deadline = ctrl_now_ms() + timeout_ms;
    for (;;) {
        long long left = deadline - ctrl_now_ms();
        if (left < 0) left = 0;
        if (left > INT_MAX) left = INT_MAX;
        struct pollfd pfd = {fd, POLLIN, 0};
        int res = poll(&pfd, 1, static_cast<int>(left));
        if (res > 0) return pfd.revents;
        if (res == 0) {
            if (ctrl_now_ms() >= deadline) return 0;
            continue;  // a wait longer than INT_MAX milliseconds goes on
        }
        if (errno != EINTR) return -1;
    }
}
