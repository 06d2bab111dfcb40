#ifndef WQ_H
#define WQ_H

/* Work queue: runs jobs that must not run on the caller's thread.
 *
 * Every queue has one thread of its own. Jobs run on it one at a time, in the order in which
 * they were put; when a job comes with a release function, release(release_argument) runs on the
 * same thread right after job(argument) returns. A job may put further jobs onto its own queue
 * (they run after the jobs already waiting) or onto another queue.
 *
 * destroy_wq:
 *   - the job that is running finishes, and its release function runs, before destroy_wq
 *     returns; no job of the queue runs after destroy_wq has returned;
 *   - jobs still waiting are dropped without running, but their release functions do run (on
 *     the thread that calls destroy_wq), so whatever a job owned is freed;
 *   - a job may destroy its own queue: the call then returns at once, the waiting jobs are
 *     dropped as above and the queue's thread ends when the job returns;
 *   - the handle is dead afterwards: put_work_to_wq on it fails and destroy_wq on it does
 *     nothing. Handles are never reused, so a dead handle never reaches a newer queue.
 */

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque queue handle. */
typedef struct wq wq_t;

/* A job or a release function; receives the argument given to put_work_to_wq. */
typedef void (*wq_func_t)(void* argument);

/* Starts a queue and its thread. Returns the handle, or NULL when no thread could be started. */
wq_t* create_wq(void);

/* Queues job(argument), followed by release(release_argument) when release is not NULL.
 * Returns 0 when the job was queued, -1 when wq is NULL or destroyed or job is NULL; on failure
 * nothing runs, not even release, and the caller keeps what it meant to hand over. */
int put_work_to_wq(wq_t* wq, wq_func_t job, void* argument, wq_func_t release,
                   void* release_argument);

/* Stops the queue as described above. NULL or a destroyed handle is ignored. */
void destroy_wq(wq_t* wq);

#ifdef __cplusplus
}
#endif

#endif
