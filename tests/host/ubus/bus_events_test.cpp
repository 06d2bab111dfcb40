#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "bus_test_support.h"

namespace {

using bus_test::BlobBuf;
using bus_test::Gate;
using bus_test::LoopThread;

// Records the events it receives as "type json".
struct Listener {
    ubus_event_handler handler;  // first: the callback finds its Listener through it
    std::mutex mutex;
    std::vector<std::string> got;
    pthread_t thread{};
    Gate first;

    Listener() : handler{} { handler.cb = OnEvent; }
    std::vector<std::string> Got() {
        std::lock_guard<std::mutex> lock(mutex);
        return got;
    }
    static void OnEvent(ubus_context*, ubus_event_handler* ev, const char* type, blob_attr* msg) {
        auto* self = reinterpret_cast<Listener*>(ev);
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->got.push_back(std::string(type) + " " + bus_test::Json(msg));
            self->thread = pthread_self();
        }
        self->first.Open();
    }
};

class BusEvents : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(owner_ = ubus_connect(nullptr), nullptr);
        ASSERT_NE(sender_ = ubus_connect(nullptr), nullptr);
    }
    void TearDown() override {
        loop_.reset();
        ubus_free(sender_);
        ubus_free(owner_);
    }
    void Send(const char* type, const char* json = nullptr) {
        BlobBuf msg;
        if (json != nullptr) {
            ASSERT_TRUE(blobmsg_add_json_from_string(msg.get(), json));
        }
        ASSERT_EQ(ubus_send_event(sender_, type, msg.head()), 0);
    }
    // The owner runs what was queued for it.
    void Deliver() { ubus_handle_event(owner_); }

    ubus_context* owner_ = nullptr;
    ubus_context* sender_ = nullptr;
    std::unique_ptr<LoopThread> loop_;
};

// A handler with two matching patterns gets the event once.
TEST_F(BusEvents, TrailingStarMatchesEveryTypeWithThatPrefixAndOtherTypesMatchExactly) {
    Listener prefix;
    Listener exact;
    ASSERT_EQ(ubus_register_event_handler(owner_, &prefix.handler, "wlan_*"), 0);
    ASSERT_EQ(ubus_register_event_handler(owner_, &prefix.handler, "wlan_event"), 0);
    ASSERT_EQ(ubus_register_event_handler(owner_, &exact.handler, "wlan"), 0);
    for (const char* type : {"wlan_event", "wlan_", "wlan", "wlanx", "other_wlan_event"})
        Send(type);
    Deliver();
    EXPECT_EQ(prefix.Got(), (std::vector<std::string>{"wlan_event {}", "wlan_ {}"}));
    EXPECT_EQ(exact.Got(), std::vector<std::string>{"wlan {}"});
}

TEST_F(BusEvents, UnregisteredHandlerGetsNothingMoreEvenWhatWasQueued) {
    Listener gone;
    ASSERT_EQ(ubus_register_event_handler(owner_, &gone.handler, "usb_event_type"), 0);
    Send("usb_event_type");
    ASSERT_EQ(ubus_unregister_event_handler(owner_, &gone.handler), 0);
    Send("usb_event_type");
    Deliver();
    EXPECT_TRUE(gone.Got().empty());
}

TEST_F(BusEvents, EventsRunOnTheSubscribersLoopThread) {
    Listener listener;
    ASSERT_EQ(ubus_register_event_handler(owner_, &listener.handler, "system_state"), 0);
    loop_ = bus_test::Serve(owner_);
    Send("system_state", R"({"state_event":"power_bank_on"})");
    ASSERT_TRUE(listener.first.Wait());
    EXPECT_EQ(listener.Got(),
              std::vector<std::string>{R"(system_state {"state_event":"power_bank_on"})"});
    std::lock_guard<std::mutex> lock(listener.mutex);
    EXPECT_TRUE(pthread_equal(listener.thread, loop_->thread_id()));
}

}  // namespace
