/*
 * Test-only controls of the in-process bus (not part of libubus): failures on demand, and a
 * second bus client for tests. Include only from tests.
 */
#ifndef UBUS_TEST_HOOKS_H
#define UBUS_TEST_HOOKS_H

#include <stdbool.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The next `count` calls of ubus_connect (and ubus_connect_ctx) fail. */
void ubus_test_fail_connect(int count);
/* The next `count` calls of ubus_add_object return `status`. */
void ubus_test_fail_add_object(int count, int status);
/* The next `count` calls of ubus_register_event_handler return `status`. */
void ubus_test_fail_register_event_handler(int count, int status);
/* The next ubus_register_event_handler for exactly `pattern` returns `status`. */
void ubus_test_fail_register_event_pattern(const char* pattern, int status);
/* Disarms every failure switch. */
void ubus_test_clear_failures(void);

/*
 * Another bus client, on a connection of its own for the duration of each call.
 * ubus_test_call calls `method` of the object named `path` with the JSON object `json_args`
 * (NULL: no arguments) and waits up to `timeout_ms` (0: no limit). It returns the call's status
 * (UBUS_STATUS_PARSE_ERROR for invalid `json_args`). When `reply_json` is given it receives the
 * replies as compact JSON, one line each, joined by "\n" (a malloc'd text for free(), NULL
 * when there was no reply).
 */
int ubus_test_call(const char* path, const char* method, const char* json_args, int timeout_ms,
                   char** reply_json);
/* Broadcasts an event with the JSON object `json` (NULL: empty). */
int ubus_test_send_event(const char* type, const char* json);

/*
 * Serves `ctx` on a thread of its own, without uloop: calls and events for its objects run on
 * that thread until ubus_test_stop_serving. For objects that stand for another process (such
 * as "qcmap") while the loop of the code under test runs; register the objects first and do
 * not use `ctx` elsewhere while it is served. Returns NULL when the thread cannot start.
 */
struct ubus_test_server;
struct ubus_test_server* ubus_test_serve(struct ubus_context* ctx);
void ubus_test_stop_serving(struct ubus_test_server* server);

/* Whether an object is registered under `path`. */
bool ubus_test_object_exists(const char* path);
/* How many event handlers an event of this type would reach. */
int ubus_test_event_listeners(const char* type);

#ifdef __cplusplus
}
#endif

#endif
