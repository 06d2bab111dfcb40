// What the libubus stand-in asks the event loop, to catch a context used off its loop thread.
// Not part of the libubox interface.
#ifndef UBOX_ULOOP_THREAD_H
#define UBOX_ULOOP_THREAD_H

#ifdef __cplusplus
extern "C" {
#endif

// Non-zero while uloop_run is running on a thread other than the caller's.
int uloop_standin_runs_on_other_thread(void);

#ifdef __cplusplus
}
#endif

#endif
