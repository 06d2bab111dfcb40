#include "tests/ubus/bus_test_support.h"

extern "C" {
#include <libubox/blobmsg_json.h>
}
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "host/sandbox/bus_connect.h"
#include "ubus_assistant.h"

namespace bus_test {

bool LoopThreadExists() {
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "wlan_uloop") return true;
    }
    return false;
}

FakeService::FakeService(const char* object_name, const char* method_name)
    : object_name_(object_name), method_name_(method_name) {
    method_.name = method_name_.c_str();
    method_.handler = Handle;
    type_.name = object_name_.c_str();
    type_.methods = &method_;
    type_.n_methods = 1;
    registration_.object.name = object_name_.c_str();
    registration_.object.type = &type_;
    registration_.object.methods = &method_;
    registration_.object.n_methods = 1;
    registration_.owner = this;
    ctx_ = test_bus::Connect();
    if (ctx_ == nullptr) return;
    registered_ = ubus_add_object(ctx_, &registration_.object) == 0;
    server_ = ubus_test_serve(ctx_);
}

FakeService::~FakeService() {
    ubus_test_stop_serving(server_);
    if (ctx_ != nullptr) ubus_free(ctx_);
}

int FakeService::Handle(ubus_context*, ubus_object* obj, ubus_request_data*, const char*,
                        blob_attr* msg) {
    FakeService* self = container_of(obj, Registration, object)->owner;
    char* json = blobmsg_format_json(msg, true);
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->calls_.push_back(json != nullptr ? json : "");
    free(json);
    return 0;
}

std::vector<std::string> FakeService::Calls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

bool FakeService::WaitForCalls(size_t count) {
    return WaitUntil([this, count] { return Calls().size() >= count; });
}

void AgentTest::Prepare() {
    ubus_test_clear_failures();
    agent_ = new HostapdAgent();
}

void AgentTest::TearDown() {
    delete agent_;
    agent_ = nullptr;
    if (host_ctx_ != nullptr) ubus_free(host_ctx_);
    ubus_test_clear_failures();
}

ubus_context* AgentTest::UseHostConnection() {
    host_ctx_ = test_bus::Connect();
    agent_->SetUbusContext(host_ctx_);
    return host_ctx_;
}

void AgentTest::StartOwnLoop() {
    ASSERT_EQ(agent_->ConnectUbus(), 0);
    UbusAssistant* assistant = agent_->GetUbusAssistant();
    ASSERT_TRUE(WaitUntil([assistant] { return assistant->IsLoopRunning(); }));
}

}  // namespace bus_test
