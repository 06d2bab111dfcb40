// The failure switches of ubus_test_hooks.h, which the library's tests use to make the bus fail:
// each fails just the calls it was armed for, the failing call changes nothing, and clearing
// disarms it.
#include <gtest/gtest.h>
#include <libubus.h>
#include <ubus_test_hooks.h>

#include <deque>
#include <functional>
#include <string>

namespace {

int Ok(ubus_context*, ubus_object*, ubus_request_data*, const char*, blob_attr*) { return 0; }
ubus_method kMethods[] = {UBUS_METHOD_NOARG("ok", Ok)};
ubus_object_type kType = UBUS_OBJECT_TYPE("switched_type", kMethods);

TEST(BusTestHooks, EachSwitchFailsTheCallsItWasArmedForAndNothingElse) {
    ubus_context* ctx = ubus_connect(nullptr);
    ASSERT_NE(ctx, nullptr);
    std::deque<std::string> names;
    std::deque<ubus_object> objects;
    ubus_event_handler handler = {};
    // Each call uses a name of its own; it returns 0 or a failure and reports whether its
    // object or subscription exists afterwards.
    auto add_object = [&](bool* exists) {
        names.push_back("object" + std::to_string(names.size()));
        objects.push_back(ubus_object{});
        ubus_object& o = objects.back();
        o.name = names.back().c_str();
        o.type = &kType;
        o.methods = kMethods;
        o.n_methods = 1;
        int status = ubus_add_object(ctx, &o);
        *exists = ubus_test_object_exists(o.name);
        return status;
    };
    auto subscribe = [&](const std::string& pattern, bool* exists) {
        int status = ubus_register_event_handler(ctx, &handler, pattern.c_str());
        *exists = ubus_test_event_listeners(pattern.c_str()) > 0;
        return status;
    };
    auto connect = [](bool* exists) {
        ubus_context* c = ubus_connect(nullptr);
        *exists = c != nullptr;
        if (c != nullptr) ubus_free(c);
        return c != nullptr ? 0 : UBUS_STATUS_CONNECTION_FAILED;
    };
    int events = 0;
    auto any_event = [&](bool* exists) {
        return subscribe("ev" + std::to_string(events++), exists);
    };
    const struct {
        const char* name;
        std::function<void()> arm_twice;
        std::function<int(bool*)> call;
        int status;
    } kSwitches[] = {
        {"connect", [] { ubus_test_fail_connect(2); }, connect, UBUS_STATUS_CONNECTION_FAILED},
        {"add_object", [] { ubus_test_fail_add_object(2, UBUS_STATUS_UNKNOWN_ERROR); }, add_object,
         UBUS_STATUS_UNKNOWN_ERROR},
        {"register_event_handler",
         [] { ubus_test_fail_register_event_handler(2, UBUS_STATUS_NO_MEMORY); }, any_event,
         UBUS_STATUS_NO_MEMORY},
    };
    for (const auto& s : kSwitches) {
        SCOPED_TRACE(s.name);
        bool exists = true;
        s.arm_twice();
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(s.call(&exists), s.status);
            EXPECT_FALSE(exists);
        }
        EXPECT_EQ(s.call(&exists), 0);
        EXPECT_TRUE(exists);
        s.arm_twice();
        ubus_test_clear_failures();
        EXPECT_EQ(s.call(&exists), 0);
    }

    // The pattern switch fails the next subscription to that pattern only.
    bool exists = false;
    ubus_test_fail_register_event_pattern("oled_event", UBUS_STATUS_UNKNOWN_ERROR);
    EXPECT_EQ(subscribe("system_state", &exists), 0);
    EXPECT_EQ(subscribe("oled_event", &exists), UBUS_STATUS_UNKNOWN_ERROR);
    EXPECT_FALSE(exists);
    EXPECT_EQ(subscribe("oled_event", &exists), 0);
    EXPECT_TRUE(exists);
    ubus_free(ctx);
}

}  // namespace
