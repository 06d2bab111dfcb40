#include "ubus/method_call.h"

#include "ubus_assistant.h"
#include "util/log.h"

namespace {

// The one reply buffer of all method handlers.
blob_buf g_reply_buf;

}  // namespace

MethodCall::MethodCall(const char* handler, ubus_request_data* req)
    : handler_(handler), req_(req), hold_(), ua_(shadow_ua()) {}

MethodCall::~MethodCall() { Free(); }

bool MethodCall::Check(ShadowCheck check) {
    switch (check) {
        case ShadowCheck::kAgentAndUa:
            if (agent() == nullptr) {
                wlan_errlog(WLAN_PRIO_ERROR, "%s: shadow agent NULL.", handler_);
                return false;
            }
            if (ua_ == nullptr) {
                wlan_errlog(WLAN_PRIO_ERROR, "%s: shadow ua NULL.", handler_);
                return false;
            }
            return true;
        case ShadowCheck::kUaTraced:
            if (ua_ == nullptr) {
                WLAN_TRACE("_shadow_ua == NULL");
                return false;
            }
            return true;
        case ShadowCheck::kUaLogged:
            if (ua_ == nullptr) {
                WLAN_LOG5("_shadow_ua == NULL");
                return false;
            }
            return true;
        case ShadowCheck::kUaThenAgent:
            if (ua_ == nullptr) {
                WLAN_LOG5("_shadow_ua == NULL");
                return false;
            }
            if (agent() == nullptr) {
                WLAN_LOG5("shadow agent is null\n");
                return false;
            }
            return true;
    }
    return false;
}

blob_buf* MethodCall::Reply() {
    if (!reply_started_) {
        blob_buf_init(&g_reply_buf, 0);
        reply_started_ = true;
    }
    return &g_reply_buf;
}

void MethodCall::AddString(const char* name, const char* value) {
    blobmsg_add_string(Reply(), name, value);
}

void MethodCall::AddInt32(const char* name, int32_t value) {
    blobmsg_add_u32(Reply(), name, static_cast<uint32_t>(value));
}

void* MethodCall::OpenTable(const char* name) { return blobmsg_open_table(Reply(), name); }

void* MethodCall::OpenArray(const char* name) { return blobmsg_open_array(Reply(), name); }

void MethodCall::Close(void* cookie) { blob_nest_end(Reply(), cookie); }

int MethodCall::Send() {
    ubus_context* ctx = ua_ != nullptr ? ua_->_GetUbusContext() : nullptr;
    int result = -1;
    if (ctx != nullptr) result = ubus_send_reply(ctx, req_, Reply()->head);
    Free();
    return result;
}

void MethodCall::Free() {
    if (!reply_started_) return;
    blob_buf_free(&g_reply_buf);
    reply_started_ = false;
}
