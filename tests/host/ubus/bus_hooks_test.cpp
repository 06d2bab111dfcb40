#include <gtest/gtest.h>
#include <ubus_test_hooks.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "bus_test_support.h"

namespace {

using bus_test::EchoObject;
using bus_test::LoopThread;
using bus_test::Replies;

class BusTestHooks : public ::testing::Test {
protected:
    void TearDown() override { ubus_test_clear_failures(); }
};

TEST_F(BusTestHooks, ConnectFailsForTheNextCallsOnlyUntilCleared) {
    ubus_test_fail_connect(2);
    EXPECT_EQ(ubus_connect(nullptr), nullptr);
    EXPECT_EQ(ubus_connect("/var/run/ubus.sock"), nullptr);
    ubus_context* ctx = ubus_connect(nullptr);
    EXPECT_NE(ctx, nullptr);
    ubus_free(ctx);

    ubus_test_fail_connect(5);
    ubus_test_clear_failures();
    ctx = ubus_connect(nullptr);
    EXPECT_NE(ctx, nullptr);
    ubus_free(ctx);
}

// Nothing is registered or subscribed by the failing call; the connection's go with it.
TEST_F(BusTestHooks, AddObjectAndRegisterEventHandlerFailOnceWithTheChosenStatus) {
    ubus_context* ctx = ubus_connect(nullptr);
    ASSERT_NE(ctx, nullptr);
    EchoObject object("switched");
    ubus_test_fail_add_object(1, UBUS_STATUS_UNKNOWN_ERROR);
    EXPECT_EQ(ubus_add_object(ctx, &object.object), UBUS_STATUS_UNKNOWN_ERROR);
    EXPECT_FALSE(ubus_test_object_exists("switched"));
    EXPECT_EQ(ubus_add_object(ctx, &object.object), 0);
    EXPECT_TRUE(ubus_test_object_exists("switched"));

    ubus_event_handler handler = {};
    ubus_test_fail_register_event_handler(1, UBUS_STATUS_NO_MEMORY);
    EXPECT_EQ(ubus_register_event_handler(ctx, &handler, "oled_event"), UBUS_STATUS_NO_MEMORY);
    EXPECT_EQ(ubus_test_event_listeners("oled_event"), 0);
    EXPECT_EQ(ubus_register_event_handler(ctx, &handler, "oled_event"), 0);
    EXPECT_EQ(ubus_test_event_listeners("oled_event"), 1);
    ubus_free(ctx);
    EXPECT_EQ(ubus_test_event_listeners("oled_event"), 0);
    EXPECT_FALSE(ubus_test_object_exists("switched"));
}

class BusTestClient : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(service_ = ubus_connect(nullptr), nullptr);
        ASSERT_EQ(ubus_add_object(service_, &echo_.object), 0);
    }
    // The context is used off its loop thread only until the loop runs.
    void StartLoop() { loop_ = bus_test::Serve(service_); }
    void TearDown() override {
        loop_.reset();
        ubus_free(service_);
    }
    ubus_context* service_ = nullptr;
    EchoObject echo_{"hooked_object"};
    std::unique_ptr<LoopThread> loop_;
};

// Also unknown objects and invalid arguments, which reach no handler.
TEST_F(BusTestClient, CallsAMethodAndReadsItsRepliesAndStatus) {
    StartLoop();
    EXPECT_EQ(ubus_test_call("no_such_object", "echo", nullptr, 0, nullptr), UBUS_STATUS_NOT_FOUND);
    EXPECT_EQ(ubus_test_call("hooked_object", "echo", "{oops", 0, nullptr),
              UBUS_STATUS_PARSE_ERROR);
    EXPECT_EQ(echo_.Calls(), 0);
    char* json = nullptr;
    EXPECT_EQ(ubus_test_call("hooked_object", "echo", R"({"text":"hi"})", 0, &json), 0);
    ASSERT_NE(json, nullptr);
    EXPECT_STREQ(json, R"({"text":"hi"})");
    free(json);
    EXPECT_EQ(ubus_test_call("hooked_object", "two_replies", nullptr, 0, &json), 0);
    ASSERT_NE(json, nullptr);
    EXPECT_STREQ(json, "{\"n\":1}\n{\"n\":2}");
    free(json);
    EXPECT_EQ(ubus_test_call("hooked_object", "fail", nullptr, 0, &json), -1);
    EXPECT_EQ(json, nullptr);
}

TEST_F(BusTestClient, SendsEventsToSubscribers) {
    struct Seen {
        ubus_event_handler handler;
        bus_test::Gate got;
    };
    Seen seen{};
    seen.handler.cb = [](ubus_context*, ubus_event_handler* ev, const char*, blob_attr*) {
        reinterpret_cast<Seen*>(ev)->got.Open();
    };
    ASSERT_EQ(ubus_register_event_handler(service_, &seen.handler, "key_detect_type"), 0);
    StartLoop();
    EXPECT_EQ(ubus_test_event_listeners("key_detect_type"), 1);
    EXPECT_EQ(ubus_test_send_event("key_detect_type", R"({"key_detect_msg":"wps"})"), 0);
    EXPECT_TRUE(seen.got.Wait());
}

// A handler on the loop thread calls an object that stands for another process.
int Relay(ubus_context* ctx, ubus_object*, ubus_request_data* req, const char*, blob_attr*) {
    uint32_t id = 0;
    if (ubus_lookup_id(ctx, "qcmap", &id) != 0) return UBUS_STATUS_NOT_FOUND;
    bus_test::BlobBuf args;
    blobmsg_add_string(args.get(), "text", "restart");
    Replies replies;
    int status = ubus_invoke(ctx, id, "echo", args.head(), Replies::Collect, &replies, 0);
    bus_test::BlobBuf reply;
    blobmsg_add_string(reply.get(), "relayed", replies.json.empty() ? "" : replies.json[0].c_str());
    ubus_send_reply(ctx, req, reply.head());
    return status;
}

ubus_method kRelayMethods[] = {UBUS_METHOD_NOARG("relay", Relay)};
ubus_object_type kRelayType = UBUS_OBJECT_TYPE("relay_type", kRelayMethods);

TEST_F(BusTestClient, ServedContextAnswersCallsFromTheLoopThread) {
    ubus_context* other = ubus_connect(nullptr);
    ASSERT_NE(other, nullptr);
    EchoObject qcmap("qcmap");
    ASSERT_EQ(ubus_add_object(other, &qcmap.object), 0);
    ubus_test_server* server = ubus_test_serve(other);
    ASSERT_NE(server, nullptr);

    ubus_object relay = {};
    relay.name = "relay";
    relay.type = &kRelayType;
    relay.methods = kRelayMethods;
    relay.n_methods = 1;
    ASSERT_EQ(ubus_add_object(service_, &relay), 0);
    StartLoop();

    char* json = nullptr;
    EXPECT_EQ(ubus_test_call("relay", "relay", nullptr, 0, &json), 0);
    ASSERT_NE(json, nullptr);
    EXPECT_STREQ(json, R"({"relayed":"{\"text\":\"restart\"}"})");
    free(json);
    EXPECT_FALSE(pthread_equal(qcmap.HandlerThread(), loop_->thread_id()));

    ubus_test_stop_serving(server);
    ubus_free(other);
}

}  // namespace
