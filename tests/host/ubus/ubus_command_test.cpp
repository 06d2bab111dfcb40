#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/bus_events.h"
#include "tests/support/sandbox.h"

namespace {

using UbusCommand = SandboxTest;

// One line per event, "TYPE JSON", with the message as compact JSON.
TEST_F(UbusCommand, SendLogsOneLinePerEventAsCompactJson) {
    EXPECT_EQ(sandbox::Run(R"(ubus send wlan_event '{"wlan_switch":"on"}')"), 0);
    EXPECT_EQ(sandbox::Run(R"(ubus send spaced '{ "a" : 1 , "b" : [ true , null ] }')"), 0);
    EXPECT_EQ(sandbox::Run("ubus send bare"), 0);
    std::vector<bus_events::Event> events = bus_events::Read();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].type, "wlan_event");
    EXPECT_EQ(events[0].json, R"({"wlan_switch":"on"})");
    EXPECT_EQ(sandbox::ReadFile(bus_events::LogPath()),
              "wlan_event {\"wlan_switch\":\"on\"}\nspaced {\"a\":1,\"b\":[true,null]}\n"
              "bare {}\n");
}

// Also an event type that would break the log line.
TEST_F(UbusCommand, InvalidMessageOrTypeFailsAndLogsNothing) {
    for (const char* args :
         {R"(wlan_event '{"wlan_switch":')", "wlan_event 'not json'", "wlan_event '[1,2]'",
          "wlan_event ''", "'two words' '{}'", "'' '{}'"}) {
        EXPECT_NE(sandbox::Run(std::string("ubus send ") + args + " 2>/dev/null"), 0) << args;
    }
    EXPECT_TRUE(bus_events::Read().empty());
}

TEST_F(UbusCommand, OtherCommandsPrintTheUsageAndFail) {
    EXPECT_NE(sandbox::Run("ubus call wlan_object_test wlan_get_switch 2>/dev/null"), 0);
    EXPECT_NE(sandbox::Run("ubus 2>/dev/null"), 0);
    EXPECT_NE(sandbox::Output("ubus list 2>&1").find("Usage:"), std::string::npos);
    EXPECT_TRUE(bus_events::Read().empty());
}

}  // namespace
