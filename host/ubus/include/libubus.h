/*
 * Bus client. This implementation is an in-process bus: every context, object, call and event
 * lives in the calling process. A call or event for an object is queued to the context that
 * registered the object and runs when that context's loop handles its `sock` descriptor (or
 * when its owner calls ubus_handle_event); ubus_invoke blocks its caller until the handler's
 * status arrives or the timeout passes. A context is not thread-safe: using one context from
 * two threads at once, or from another thread while the loop that watches it runs, aborts the
 * process with a message.
 */
#ifndef __LIBUBUS_H
#define __LIBUBUS_H

#ifdef __cplusplus
extern "C" {
#endif

#include <libubox/avl.h>
#include <libubox/blobmsg.h>
#include <libubox/list.h>
#include <libubox/uloop.h>
#include <stdint.h>
#include <string.h>

#include "ubusmsg.h"

#define UBUS_MAX_NOTIFY_PEERS 16

struct ubus_context;
struct ubus_object;
struct ubus_request;
struct ubus_request_data;
struct ubus_object_data;
struct ubus_event_handler;

struct ubus_msghdr_buf {
    struct ubus_msghdr hdr;
    struct blob_attr* data;
};

typedef int (*ubus_handler_t)(struct ubus_context* ctx, struct ubus_object* obj,
                              struct ubus_request_data* req, const char* method,
                              struct blob_attr* msg);
typedef void (*ubus_state_handler_t)(struct ubus_context* ctx, struct ubus_object* obj);
typedef void (*ubus_event_handler_t)(struct ubus_context* ctx, struct ubus_event_handler* ev,
                                     const char* type, struct blob_attr* msg);
typedef void (*ubus_data_handler_t)(struct ubus_request* req, int type, struct blob_attr* msg);
typedef void (*ubus_fd_handler_t)(struct ubus_request* req, int fd);
typedef void (*ubus_complete_handler_t)(struct ubus_request* req, int ret);

#define UBUS_OBJECT_TYPE(_name, _methods) \
    { .name = _name, .id = 0, .methods = _methods, .n_methods = ARRAY_SIZE(_methods) }

#define __UBUS_METHOD_BASE(_name, _handler, _mask, _tags) \
    .name = _name, .handler = _handler, .mask = _mask, .tags = _tags

#define __UBUS_METHOD_NOARG(_name, _handler, _mask, _tags) \
    __UBUS_METHOD_BASE(_name, _handler, _mask, _tags), .policy = NULL, .n_policy = 0

#define __UBUS_METHOD(_name, _handler, _mask, _policy, _tags)             \
    __UBUS_METHOD_BASE(_name, _handler, _mask, _tags), .policy = _policy, \
                                                       .n_policy = ARRAY_SIZE(_policy)

#define UBUS_METHOD(_name, _handler, _policy) \
    { __UBUS_METHOD(_name, _handler, 0, _policy, 0) }

#define UBUS_METHOD_TAG(_name, _handler, _policy, _tags) \
    { __UBUS_METHOD(_name, _handler, 0, _policy, _tags) }

#define UBUS_METHOD_MASK(_name, _handler, _policy, _mask) \
    { __UBUS_METHOD(_name, _handler, _mask, _policy, 0) }

#define UBUS_METHOD_NOARG(_name, _handler) \
    { __UBUS_METHOD_NOARG(_name, _handler, 0, 0) }

#define UBUS_TAG_STATUS (1ul << 0)
#define UBUS_TAG_ADMIN (1ul << 1)
#define UBUS_TAG_PRIVATE (1ul << 2)

struct ubus_method {
    const char* name;
    ubus_handler_t handler;

    unsigned long mask;
    unsigned long tags;
    const struct blobmsg_policy* policy;
    int n_policy;
};

struct ubus_object_type {
    const char* name;
    uint32_t id;

    const struct ubus_method* methods;
    int n_methods;
};

struct ubus_object {
    /* The connection's tree of its objects; the in-process bus leaves it alone. */
    struct avl_node avl;

    const char* name;
    uint32_t id;

    const char* path;
    struct ubus_object_type* type;

    ubus_state_handler_t subscribe_cb;
    bool has_subscribers;

    const struct ubus_method* methods;
    int n_methods;
};

struct ubus_event_handler {
    struct ubus_object obj;

    ubus_event_handler_t cb;
};

/* Laid out as the device's libubus lays it out; the in-process bus uses sock, local_id and the
 * list heads, and leaves the rest as ubus_connect set it (zero, empty). */
struct ubus_context {
    struct list_head requests;
    struct avl_tree objects;
    struct list_head pending;

    /* Readable while calls or events wait for this context. */
    struct uloop_fd sock;
    struct uloop_timeout pending_timer;

    uint32_t local_id;
    uint16_t request_seq;
    bool cancel_poll;
    int stack_depth;

    void (*connection_lost)(struct ubus_context* ctx);
    void (*monitor_cb)(struct ubus_context* ctx, uint32_t seq, struct blob_attr* data);

    struct ubus_msghdr_buf msgbuf;
    uint32_t msgbuf_data_len;
    int msgbuf_reduction_counter;

    struct list_head auto_subscribers;
    struct ubus_event_handler auto_subscribe_event_handler;
};

struct ubus_object_data {
    uint32_t id;
    uint32_t type_id;
    const char* path;
    struct blob_attr* signature;
};

struct ubus_acl_key {
    const char* user;
    const char* group;
    const char* object;
};

struct ubus_request_data {
    uint32_t object;
    uint32_t peer;
    uint16_t seq;

    struct ubus_acl_key acl;

    /* internal use */
    bool deferred;
    int fd;
    int req_fd;
};

struct ubus_request {
    struct list_head list;

    struct list_head pending;
    int status_code;
    bool status_msg;
    bool blocked;
    bool cancelled;
    bool notify;

    uint32_t peer;
    uint16_t seq;

    ubus_data_handler_t raw_data_cb;
    ubus_data_handler_t data_cb;
    ubus_fd_handler_t fd_cb;
    ubus_complete_handler_t complete_cb;

    int fd;

    struct ubus_context* ctx;
    void* priv;
};

/* Returns a new connection, or NULL. The path names the bus socket; the in-process bus has
 * none and accepts any path. Like the device's libubus, connecting first initialises the event
 * loop (uloop_init, with its signal handlers: see libubox/uloop.h), whether or not the connection
 * can be made: clear uloop_handle_sigchld before the first connection of a process whose threads
 * wait for their own children. */
struct ubus_context* ubus_connect(const char* path);
int ubus_connect_ctx(struct ubus_context* ctx, const char* path);

/* Closes a connection from ubus_connect: its objects and subscriptions leave the bus. */
void ubus_free(struct ubus_context* ctx);
/* Closes a connection set up with ubus_connect_ctx. */
void ubus_shutdown(struct ubus_context* ctx);

const char* ubus_strerror(int error);

static inline void ubus_add_uloop(struct ubus_context* ctx) {
    uloop_fd_add(&ctx->sock, ULOOP_BLOCKING | ULOOP_READ);
}

/* Handles what is queued for the context; for owners that watch ctx->sock.fd themselves. */
static inline void ubus_handle_event(struct ubus_context* ctx) {
    ctx->sock.cb(&ctx->sock, ULOOP_READ);
}

int ubus_lookup_id(struct ubus_context* ctx, const char* path, uint32_t* id);

/* Registers the object under its name; fails with UBUS_STATUS_INVALID_ARGUMENT when another
 * object has that name. */
int ubus_add_object(struct ubus_context* ctx, struct ubus_object* obj);
int ubus_remove_object(struct ubus_context* ctx, struct ubus_object* obj);

/* Calls a method and waits up to `timeout` ms (0: no limit). Reply data go to `cb` first; the
 * result is the handler's status, UBUS_STATUS_NOT_FOUND or UBUS_STATUS_METHOD_NOT_FOUND for an
 * unknown object or method, or UBUS_STATUS_TIMEOUT. */
int ubus_invoke_fd(struct ubus_context* ctx, uint32_t obj, const char* method,
                   struct blob_attr* msg, ubus_data_handler_t cb, void* priv, int timeout, int fd);

static inline int ubus_invoke(struct ubus_context* ctx, uint32_t obj, const char* method,
                              struct blob_attr* msg, ubus_data_handler_t cb, void* priv,
                              int timeout) {
    return ubus_invoke_fd(ctx, obj, method, msg, cb, priv, timeout, -1);
}

/* Sends reply data for a call being handled (or deferred) on this context. */
int ubus_send_reply(struct ubus_context* ctx, struct ubus_request_data* req, struct blob_attr* msg);

static inline void ubus_defer_request(struct ubus_context* ctx, struct ubus_request_data* req,
                                      struct ubus_request_data* new_req) {
    (void)ctx;
    memcpy(new_req, req, sizeof(*req));
    req->deferred = true;
}

void ubus_complete_deferred_request(struct ubus_context* ctx, struct ubus_request_data* req,
                                    int ret);

/* Broadcasts an event to every handler whose pattern matches `id`. */
int ubus_send_event(struct ubus_context* ctx, const char* id, struct blob_attr* data);

/* Subscribes the handler to events named `pattern`; a pattern ending in '*' matches every name
 * that starts with the text before it. One handler may hold several patterns. */
int ubus_register_event_handler(struct ubus_context* ctx, struct ubus_event_handler* ev,
                                const char* pattern);

static inline int ubus_unregister_event_handler(struct ubus_context* ctx,
                                                struct ubus_event_handler* ev) {
    return ubus_remove_object(ctx, &ev->obj);
}

#ifdef __cplusplus
}
#endif

#endif
