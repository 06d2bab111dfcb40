/*
 * Event loop: file descriptors (epoll), timeouts and child processes, run by uloop_run on one
 * thread at a time. Every uloop_init takes over SIGINT and SIGTERM (they end the loop) where they
 * still have their default action, ignores SIGPIPE, and, while uloop_handle_sigchld is true
 * (the default), takes over SIGCHLD: a running loop then reaps every exited child of the process
 * with waitpid(-1, ...) on the loop thread. Clearing the flag later does not give SIGCHLD back
 * (uloop_done gives it back only while the flag is set), so clear uloop_handle_sigchld before the
 * first uloop_init in a process whose other threads wait for their own children (system,
 * popen). ubus_connect calls uloop_init. uloop_done gives back SIGINT and SIGTERM and sets an
 * ignored SIGPIPE to its default action.
 */
#ifndef _ULOOP_H__
#define _ULOOP_H__

#include <signal.h>
#include <stdbool.h>
#include <stdint.h>
#include <sys/time.h>
#include <sys/types.h>

#include "list.h"

struct uloop_fd;
struct uloop_timeout;
struct uloop_process;

typedef void (*uloop_fd_handler)(struct uloop_fd* u, unsigned int events);
typedef void (*uloop_timeout_handler)(struct uloop_timeout* t);
typedef void (*uloop_process_handler)(struct uloop_process* c, int ret);

#define ULOOP_READ (1 << 0)
#define ULOOP_WRITE (1 << 1)
#define ULOOP_EDGE_TRIGGER (1 << 2)
#define ULOOP_BLOCKING (1 << 3)

#define ULOOP_EVENT_MASK (ULOOP_READ | ULOOP_WRITE)

/* internal flags */
#define ULOOP_EVENT_BUFFERED (1 << 4)
#define ULOOP_ERROR_CB (1 << 6)

struct uloop_fd {
    uloop_fd_handler cb;
    int fd;
    bool eof;
    bool error;
    bool registered;
    uint8_t flags;
};

struct uloop_timeout {
    struct list_head list;
    bool pending;

    uloop_timeout_handler cb;
    struct timeval time;
};

struct uloop_process {
    struct list_head list;
    bool pending;

    uloop_process_handler cb;
    pid_t pid;
};

extern bool uloop_cancelled;
extern bool uloop_handle_sigchld;

/* Watches the descriptor for the events in `flags` (ULOOP_READ, ULOOP_WRITE); without
 * ULOOP_BLOCKING the descriptor is made non-blocking. Returns 0, or -1 before uloop_init. */
int uloop_fd_add(struct uloop_fd* sock, unsigned int flags);
int uloop_fd_delete(struct uloop_fd* sock);

int uloop_timeout_add(struct uloop_timeout* timeout);
int uloop_timeout_set(struct uloop_timeout* timeout, int msecs);
int uloop_timeout_cancel(struct uloop_timeout* timeout);
int uloop_timeout_remaining(struct uloop_timeout* timeout);
int64_t uloop_timeout_remaining64(struct uloop_timeout* timeout);

int uloop_process_add(struct uloop_process* p);
int uloop_process_delete(struct uloop_process* p);

bool uloop_cancelling(void);

/* Asks the running loop to return. The loop sees the request the next time it wakes up (an
 * event on a watched descriptor, a timeout or a signal); it does not wake it. */
static inline void uloop_end(void) { __atomic_store_n(&uloop_cancelled, true, __ATOMIC_SEQ_CST); }

int uloop_init(void);
/* Runs the loop until uloop_end or SIGINT/SIGTERM (timeout < 0), or for one round of at most
 * `timeout` milliseconds. Clears a pending uloop_end request when it starts. Returns the signal
 * that ended the loop, or 0. */
int uloop_run_timeout(int timeout);
static inline int uloop_run(void) { return uloop_run_timeout(-1); }
void uloop_done(void);

#endif
