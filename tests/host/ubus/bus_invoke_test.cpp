#include <gtest/gtest.h>
#include <poll.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bus_test_support.h"

namespace {

using bus_test::BlobBuf;
using bus_test::EchoObject;
using bus_test::LoopThread;
using bus_test::Replies;

// Waits until something is queued for the context.
bool Readable(ubus_context* ctx, int timeout_ms) {
    pollfd p = {ctx->sock.fd, POLLIN, 0};
    return poll(&p, 1, timeout_ms) == 1;
}

class BusCalls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(service_ = ubus_connect(nullptr), nullptr);
        ASSERT_NE(client_ = ubus_connect(nullptr), nullptr);
        ASSERT_EQ(ubus_add_object(service_, &echo_.object), 0);
        ASSERT_EQ(ubus_lookup_id(client_, "echo_object", &id_), 0);
        EXPECT_EQ(id_, echo_.object.id);
    }
    void TearDown() override {
        loop_.reset();  // the loop ends before its context goes
        ubus_free(client_);
        ubus_free(service_);
    }
    void StartLoop() { loop_ = bus_test::Serve(service_); }
    int Call(const char* method, const char* json, Replies* replies, int timeout = 0) {
        BlobBuf args;
        if (json != nullptr) {
            EXPECT_TRUE(blobmsg_add_json_from_string(args.get(), json));
        }
        return ubus_invoke(client_, id_, method, args.head(), Replies::Collect, replies, timeout);
    }

    ubus_context* service_ = nullptr;
    ubus_context* client_ = nullptr;
    EchoObject echo_{"echo_object"};
    uint32_t id_ = 0;
    std::unique_ptr<LoopThread> loop_;
};

TEST_F(BusCalls, HandlerRunsOnTheOwnersLoopThreadWhileTheCallerWaits) {
    StartLoop();
    echo_.hold = true;
    std::thread releaser([this] {
        echo_.entered.Wait();
        echo_.release.Open();
    });
    Replies replies;
    EXPECT_EQ(Call("echo", R"({"text":"hi"})", &replies), 0);
    releaser.join();
    EXPECT_EQ(replies.json, std::vector<std::string>{R"({"text":"hi"})"});
    EXPECT_TRUE(pthread_equal(echo_.HandlerThread(), loop_->thread_id()));
    EXPECT_FALSE(pthread_equal(echo_.HandlerThread(), pthread_self()));
}

// Reply data reach the caller before the handler's status; a failure carries no data; unknown
// objects and methods have their statuses.
TEST_F(BusCalls, EachCallGetsItsRepliesAndItsStatus) {
    StartLoop();
    const struct {
        const char* method;
        const char* json;
        int status;
        std::vector<std::string> replies;
    } kCalls[] = {
        {"reply_then_status", nullptr, UBUS_STATUS_NOT_SUPPORTED, {R"({"n":1})"}},
        {"two_replies", nullptr, 0, {R"({"n":1})", R"({"n":2})"}},
        {"fail", nullptr, -1, {}},
        {"echo", R"({"text":7})", UBUS_STATUS_INVALID_ARGUMENT, {}},
        {"no_such_method", nullptr, UBUS_STATUS_METHOD_NOT_FOUND, {}},
    };
    for (const auto& call : kCalls) {
        Replies replies;
        EXPECT_EQ(Call(call.method, call.json, &replies), call.status) << call.method;
        EXPECT_EQ(replies.json, call.replies) << call.method;
    }
    EXPECT_EQ(ubus_invoke(client_, id_ + 1000, "echo", nullptr, nullptr, nullptr, 0),
              UBUS_STATUS_NOT_FOUND);
    uint32_t id = 0;
    EXPECT_EQ(ubus_lookup_id(client_, "no_such_object", &id), UBUS_STATUS_NOT_FOUND);
    EXPECT_EQ(echo_.Calls(), 4);  // no handler for the unknown method or objects
}

TEST_F(BusCalls, CallTimesOutWhileTheOwnersLoopDoesNotRunAndItsLateReplyIsDropped) {
    Replies replies;
    EXPECT_EQ(Call("echo", R"({"text":"late"})", &replies, 20), UBUS_STATUS_TIMEOUT);
    EXPECT_EQ(echo_.Calls(), 0);
    ASSERT_TRUE(Readable(service_, 0));
    ubus_handle_event(service_);
    EXPECT_EQ(echo_.Calls(), 1);
    EXPECT_TRUE(replies.json.empty());
}

TEST_F(BusCalls, OwnerWithoutUloopServesCallsWithHandleEvent) {
    EXPECT_FALSE(Readable(service_, 0));
    Replies replies;
    int status = -100;
    std::thread caller([&] { status = Call("echo", R"({"text":"by hand"})", &replies); });
    ASSERT_TRUE(Readable(service_, 30000));
    ubus_handle_event(service_);
    caller.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(replies.json, std::vector<std::string>{R"({"text":"by hand"})"});
    EXPECT_FALSE(Readable(service_, 0));
}

TEST_F(BusCalls, CallsForAContextThatGoesAwayEndAsNotFound) {
    int status = -100;
    std::thread caller([&] { status = Call("echo", R"({"text":"x"})", nullptr); });
    ASSERT_TRUE(Readable(service_, 30000));
    ubus_free(service_);
    service_ = nullptr;
    caller.join();
    EXPECT_EQ(status, UBUS_STATUS_NOT_FOUND);
    uint32_t id = 0;
    EXPECT_EQ(ubus_lookup_id(client_, "echo_object", &id), UBUS_STATUS_NOT_FOUND);
}

TEST(BusStrerror, StatusesHaveTheirTexts) {
    EXPECT_STREQ(ubus_strerror(UBUS_STATUS_OK), "Success");
    EXPECT_STREQ(ubus_strerror(UBUS_STATUS_INVALID_ARGUMENT), "Invalid argument");
    EXPECT_STREQ(ubus_strerror(UBUS_STATUS_METHOD_NOT_FOUND), "Method not found");
    EXPECT_STREQ(ubus_strerror(UBUS_STATUS_NOT_FOUND), "Not found");
    EXPECT_STREQ(ubus_strerror(UBUS_STATUS_TIMEOUT), "Request timed out");
    EXPECT_STREQ(ubus_strerror(UBUS_STATUS_SYSTEM_ERROR), "System error");
    EXPECT_STREQ(ubus_strerror(99), "Unknown error: 99");
    EXPECT_STREQ(ubus_strerror(-1), "Unknown error: -1");
}

}  // namespace
