#ifndef WLAN_UBUS_WORK_QUEUE_H
#define WLAN_UBUS_WORK_QUEUE_H

#include <wq.h>

// The assistant's work queue, for jobs that must not run on the thread that dispatches the bus
// connection. Init creates it, Deinit destroys it. On a host connection the event callbacks
// stay subscribed after Deinit and may still try to queue work; they then find no queue.

// Creates the queue; false when it could not be created.
bool ha_wq_create();
// Whether the queue exists.
bool ha_wq_ready();
// Queues a job like put_work_to_wq. Returns -1, and runs nothing (not even release), when the
// queue does not exist or does not take the job; the caller then still owns what it meant to
// hand over. Safe against Deinit destroying the queue at the same time.
int ha_wq_put(wq_func_t job, void* argument, wq_func_t release, void* release_argument);
// Detaches the queue (later puts fail) and destroys it.
void ha_wq_destroy();

#endif
