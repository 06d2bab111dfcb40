#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/bus_events.h"
#include "tests/support/sandbox.h"

namespace {

using UbusCommand = SandboxTest;

std::vector<std::string> Logged() {
    std::vector<std::string> lines;
    for (const bus_events::Event& event : bus_events::Read())
        lines.push_back(event.type + " " + event.json);
    return lines;
}

TEST_F(UbusCommand, SendLogsOneLinePerEvent) {
    EXPECT_EQ(sandbox::Run(R"(ubus send wlan_event '{"wlan_switch":"on"}')"), 0);
    EXPECT_EQ(sandbox::Run(R"(ubus send wlan_event '{"current_sta_num":"2"}')"), 0);
    std::vector<bus_events::Event> events = bus_events::Read();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, "wlan_event");
    EXPECT_EQ(events[0].json, R"({"wlan_switch":"on"})");
    EXPECT_EQ(events[1].json, R"({"current_sta_num":"2"})");
    EXPECT_EQ(sandbox::ReadFile(bus_events::LogPath()),
              "wlan_event {\"wlan_switch\":\"on\"}\nwlan_event {\"current_sta_num\":\"2\"}\n");
}

TEST_F(UbusCommand, SendWritesTheMessageAsCompactJson) {
    EXPECT_EQ(sandbox::Run(R"(ubus send spaced '{ "a" : 1 , "b" : [ true , null ] }')"), 0);
    EXPECT_EQ(sandbox::Run("ubus send bare"), 0);
    EXPECT_EQ(Logged(), (std::vector<std::string>{R"(spaced {"a":1,"b":[true,null]})", "bare {}"}));
}

TEST_F(UbusCommand, InvalidMessageFailsAndLogsNothing) {
    for (const char* message : {R"('{"wlan_switch":')", "'not json'", "'[1,2]'", "''"}) {
        EXPECT_NE(sandbox::Run(std::string("ubus send wlan_event ") + message + " 2>/dev/null"), 0)
            << message;
    }
    EXPECT_TRUE(bus_events::Read().empty());
}

TEST_F(UbusCommand, EventTypeThatWouldBreakTheLogLineIsRefused) {
    EXPECT_NE(sandbox::Run("ubus send 'two words' '{}' 2>/dev/null"), 0);
    EXPECT_NE(sandbox::Run("ubus send '' '{}' 2>/dev/null"), 0);
    EXPECT_TRUE(bus_events::Read().empty());
}

TEST_F(UbusCommand, OtherCommandsPrintTheUsageAndFail) {
    EXPECT_NE(sandbox::Run("ubus call wlan_object_test wlan_get_switch 2>/dev/null"), 0);
    EXPECT_NE(sandbox::Run("ubus 2>/dev/null"), 0);
    EXPECT_NE(sandbox::Output("ubus list 2>&1").find("Usage:"), std::string::npos);
    EXPECT_TRUE(bus_events::Read().empty());
}

}  // namespace
