#include "tests/e2e/bus_peers.h"

extern "C" {
#include <libubox/blobmsg_json.h>
}

#include <atomic>
#include <chrono>

#include "tests/support/bus_connect.h"
#include "ubus_test_hooks.h"

namespace e2e {
namespace {

void CollectReply(ubus_request* req, int, blob_attr* msg) {
    auto* replies = static_cast<std::string*>(req->priv);
    char* json = blobmsg_format_json(msg, true);
    if (json == nullptr) return;
    if (!replies->empty()) *replies += '\n';
    *replies += json;
    free(json);
}

// The one fake manager of the test; the method handler finds it here.
std::atomic<FakeQcmap*> g_qcmap{nullptr};

enum { RELOAD_DRIVER, RESTART_POLICY_MAX };
const blobmsg_policy kRestartPolicy[RESTART_POLICY_MAX] = {
    {"reload_driver", BLOBMSG_TYPE_INT32},
};

int OnRestartWlan(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr* msg) {
    FakeQcmap* qcmap = g_qcmap.load();
    if (qcmap == nullptr) return UBUS_STATUS_UNKNOWN_ERROR;
    blob_attr* field[RESTART_POLICY_MAX] = {nullptr};
    if (msg != nullptr)
        blobmsg_parse(kRestartPolicy, RESTART_POLICY_MAX, field, blob_data(msg), blob_len(msg));
    qcmap->Record(field[RELOAD_DRIVER] ? static_cast<int>(blobmsg_get_u32(field[RELOAD_DRIVER]))
                                       : -1);
    return 0;
}

ubus_method qcmap_methods[] = {
    UBUS_METHOD("qcmap_method_restart_wlan", OnRestartWlan, kRestartPolicy),
};
ubus_object_type qcmap_type = UBUS_OBJECT_TYPE("qcmap_type", qcmap_methods);
ubus_object qcmap_object = {.avl = {},
                            .name = "qcmap",
                            .id = 0,
                            .path = nullptr,
                            .type = &qcmap_type,
                            .subscribe_cb = nullptr,
                            .has_subscribers = false,
                            .methods = qcmap_methods,
                            .n_methods = ARRAY_SIZE(qcmap_methods)};

}  // namespace

WebUi::WebUi() : ctx_(test_bus::Connect()) {}

WebUi::~WebUi() {
    if (ctx_ != nullptr) ubus_free(ctx_);
    blob_buf_free(&buf_);
}

bool WebUi::Prepare(const std::string& json) {
    blob_buf_init(&buf_, 0);
    return json.empty() || blobmsg_add_json_from_string(&buf_, json.c_str());
}

int WebUi::Call(const std::string& object, const std::string& method, const std::string& json_args,
                std::string* reply, int timeout_ms) {
    if (ctx_ == nullptr) return UBUS_STATUS_CONNECTION_FAILED;
    if (!Prepare(json_args)) return UBUS_STATUS_INVALID_ARGUMENT;
    uint32_t id = 0;
    int status = ubus_lookup_id(ctx_, object.c_str(), &id);
    if (status != 0) return status;
    std::string replies;
    status = ubus_invoke(ctx_, id, method.c_str(), buf_.head, CollectReply, &replies, timeout_ms);
    if (reply != nullptr) *reply = replies;
    return status;
}

int WebUi::SendEvent(const std::string& type, const std::string& json) {
    if (ctx_ == nullptr) return UBUS_STATUS_CONNECTION_FAILED;
    if (!Prepare(json)) return UBUS_STATUS_INVALID_ARGUMENT;
    return ubus_send_event(ctx_, type.c_str(), buf_.head);
}

FakeQcmap::FakeQcmap() {
    FakeQcmap* expected = nullptr;
    if (!g_qcmap.compare_exchange_strong(expected, this)) return;  // another one is serving
    ctx_ = test_bus::Connect();
    if (ctx_ == nullptr || ubus_add_object(ctx_, &qcmap_object) != 0) return;
    server_ = ubus_test_serve(ctx_);
}

FakeQcmap::~FakeQcmap() {
    ubus_test_stop_serving(server_);
    if (ctx_ != nullptr) ubus_free(ctx_);
    FakeQcmap* self = this;
    g_qcmap.compare_exchange_strong(self, nullptr);
}

std::vector<int> FakeQcmap::Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

bool FakeQcmap::WaitForCalls(size_t count, unsigned timeout_ms) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return called_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                            [&] { return calls_.size() >= count; });
}

void FakeQcmap::Record(int reload_driver) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        calls_.push_back(reload_driver);
    }
    called_.notify_all();
}

}  // namespace e2e
