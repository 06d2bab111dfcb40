#ifndef WLAN_UBUS_METHOD_CALL_H
#define WLAN_UBUS_METHOD_CALL_H

// What every method handler of the service object does around its own logic: the shadow checks,
// the reply buffer, sending the reply and freeing it.
//
// A handler is named ubus_wlan_ plus its operation, and that name starts its log lines. It
// makes one MethodCall that lives for the whole call:
//
//     int ubus_wlan_get_switch(ubus_context*, ubus_object*, ubus_request_data* req,
//                              const char*, blob_attr*) {
//         MethodCall call(__func__, req);
//         if (!call.Check(ShadowCheck::kAgentAndUa)) return -1;
//         call.AddString("wlan", call.agent()->GetWlanOn() ? "on" : "off");
//         call.Send();
//         return 0;
//     }
//
// The call reaches the agent through a ShadowAgentHold that it keeps until it ends, so the
// agent stays whole while the handler uses it; it reads the assistant once, when it is made.
// A handler that makes no check calls no Check and copes with a null agent() or ua() itself.
//
// Replies are built in the one reply buffer of all handlers: the first Add or Open initialises
// it as a table, Send sends it on the assistant's connection for this request and frees it,
// and a reply that is not sent is freed when the call ends. Strings are added with their
// terminating zero counted, int32 fields as 32-bit signed values, and every Open is closed with
// Close. The handlers, and the OLED and system event callbacks, run one at a time on the thread
// that dispatches the connection, so the buffer needs no lock.

extern "C" {
#include <libubox/blobmsg.h>
}
#include <libubus.h>
#include <stdint.h>

#include "ubus/shadow_agent.h"

class HostapdAgent;
class UbusAssistant;

// The checks a handler makes before its own work. Each returns false when something is missing,
// after its message; the handler then answers without a reply.
enum class ShadowCheck {
    // The agent, then the assistant; a missing one goes to the error log at priority error as
    // "<handler>: shadow agent NULL." or "<handler>: shadow ua NULL.".
    kAgentAndUa,
    // The assistant only; a missing one is traced as "_shadow_ua == NULL" (not emitted).
    kUaTraced,
    // The assistant only; a missing one is logged at level 5 as "_shadow_ua == NULL".
    kUaLogged,
    // The assistant, then the agent; a missing one is logged at level 5 as "_shadow_ua == NULL"
    // or "shadow agent is null\n".
    kUaThenAgent,
};

class MethodCall {
public:
    // handler: the handler's name; req: the request being answered.
    MethodCall(const char* handler, ubus_request_data* req);
    ~MethodCall();
    MethodCall(const MethodCall&) = delete;
    MethodCall& operator=(const MethodCall&) = delete;

    bool Check(ShadowCheck check);

    const char* handler() const { return handler_; }
    // The agent, or null when there is none or it is going away.
    HostapdAgent* agent() const { return hold_.get(); }
    // The assistant, or null.
    UbusAssistant* ua() const { return ua_; }

    // Reply fields, in the order of the calls.
    void AddString(const char* name, const char* value);
    void AddInt32(const char* name, int32_t value);
    // Nested fields: Open returns the cookie that Close takes.
    void* OpenTable(const char* name);
    void* OpenArray(const char* name);
    void Close(void* cookie);
    // The reply buffer itself, initialised, for what the calls above do not cover.
    blob_buf* Reply();

    // Sends the reply built so far (an empty table when nothing was added) on the assistant's
    // connection for this request and frees the buffer. Returns the bus library's result, or -1
    // without sending when there is no assistant or connection.
    int Send();

private:
    void Free();

    const char* handler_;
    ubus_request_data* req_;
    ShadowAgentHold hold_;
    UbusAssistant* ua_;
    bool reply_started_ = false;
};

#endif
