// Test-only controls of the bus: failure switches and a second client.
extern "C" {
#include <libubox/blobmsg_json.h>
}

#include <string>

#include "bus.h"
#include "dispatch.h"
#include "failure_switches.h"
#include "ubus_test_hooks.h"

namespace {

// A connection of its own that bypasses the failure switches.
class TestClient {
public:
    TestClient() { connected_ = ubus_standin::ConnectContext(&ctx_) == 0; }
    ~TestClient() {
        if (connected_) ubus_shutdown(&ctx_);
        blob_buf_free(&buf_);
    }
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    // Status of connecting and of reading the JSON arguments into the message buffer.
    int Prepare(const char* json) {
        if (!connected_) return UBUS_STATUS_CONNECTION_FAILED;
        blob_buf_init(&buf_, 0);
        if (json != nullptr && !blobmsg_add_json_from_string(&buf_, json))
            return UBUS_STATUS_PARSE_ERROR;
        return 0;
    }

    ubus_context* ctx() { return &ctx_; }
    blob_attr* message() { return buf_.head; }

private:
    ubus_context ctx_;
    bool connected_ = false;
    blob_buf buf_ = {};
};

void CollectReply(ubus_request* req, int, blob_attr* msg) {
    auto* replies = static_cast<std::string*>(req->priv);
    char* json = blobmsg_format_json(msg, true);
    if (json == nullptr) return;
    if (!replies->empty()) *replies += '\n';
    *replies += json;
    free(json);
}

}  // namespace

void ubus_test_fail_connect(int count) {
    ubus_standin::ConnectFailures().Arm(count, UBUS_STATUS_CONNECTION_FAILED);
}

void ubus_test_fail_add_object(int count, int status) {
    ubus_standin::AddObjectFailures().Arm(count, status);
}

void ubus_test_fail_register_event_handler(int count, int status) {
    ubus_standin::RegisterEventFailures().Arm(count, status);
}

void ubus_test_fail_register_event_pattern(const char* pattern, int status) {
    ubus_standin::RegisterPatternFailure().Arm(pattern, status);
}

void ubus_test_clear_failures(void) {
    ubus_standin::RegisterPatternFailure().Arm(nullptr, 0);
    ubus_standin::ConnectFailures().Arm(0, 0);
    ubus_standin::AddObjectFailures().Arm(0, 0);
    ubus_standin::RegisterEventFailures().Arm(0, 0);
}

int ubus_test_call(const char* path, const char* method, const char* json_args, int timeout_ms,
                   char** reply_json) {
    if (reply_json != nullptr) *reply_json = nullptr;
    TestClient client;
    int status = client.Prepare(json_args);
    if (status != 0) return status;
    uint32_t id = 0;
    status = ubus_lookup_id(client.ctx(), path, &id);
    if (status != 0) return status;
    std::string replies;
    status =
        ubus_invoke(client.ctx(), id, method, client.message(), CollectReply, &replies, timeout_ms);
    if (reply_json != nullptr && !replies.empty()) *reply_json = strdup(replies.c_str());
    return status;
}

int ubus_test_send_event(const char* type, const char* json) {
    TestClient client;
    int status = client.Prepare(json);
    if (status != 0) return status;
    return ubus_send_event(client.ctx(), type, client.message());
}

bool ubus_test_object_exists(const char* path) {
    ubus_standin::Bus& bus = ubus_standin::Bus::Get();
    std::lock_guard<std::mutex> lock(bus.mutex());
    return path != nullptr && bus.names().count(path) != 0;
}

int ubus_test_event_listeners(const char* type) {
    ubus_standin::Bus& bus = ubus_standin::Bus::Get();
    std::lock_guard<std::mutex> lock(bus.mutex());
    return type == nullptr ? 0 : static_cast<int>(bus.Listeners(type).size());
}
