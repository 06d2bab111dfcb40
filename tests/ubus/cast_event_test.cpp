// Event broadcasts through the `ubus send` command.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/bus_events.h"
#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"
#include "ubus_assistant.h"

namespace {

class CastEvent : public SandboxTest {
protected:
    UbusAssistant assistant_{nullptr, nullptr};
};

// The command line is "ubus send wlan_event '{\"k\":\"<value>\"}'": 31 characters around the
// value.
constexpr size_t kLineAroundValue = 31;

}  // namespace

TEST_F(CastEvent, BroadcastsOneEventWithOneStringField) {
    assistant_.CastEvent("wlan_event", "wlan_switch", "on");
    auto events = bus_events::Read();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, "wlan_event");
    EXPECT_EQ(events[0].json, "{\"wlan_switch\":\"on\"}");
}

TEST_F(CastEvent, CommandLineOf259CharactersIsRunAndLongerIsNot) {
    std::string fits(259 - kLineAroundValue, '7');
    assistant_.CastEvent("wlan_event", "k", fits.c_str());
    std::string too_long(260 - kLineAroundValue, '7');
    assistant_.CastEvent("wlan_event", "k", too_long.c_str());

    auto events = bus_events::Read();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].json, "{\"k\":\"" + fits + "\"}");
    EXPECT_TRUE(logcap::Has(logcap::Level5(),
                            "UbusAssistant::CastEvent: command too long, event [wlan_event] not "
                            "sent."));
}

TEST_F(CastEvent, TextThatWouldLeaveItsQuotesRunsNothing) {
    assistant_.CastEvent("wlan_event", "wlan_switch", "on'; touch /tmp/broadcast_ran; echo '");
    assistant_.CastEvent("wlan_event", "x' ; touch /tmp/broadcast_ran ; '", "on");
    assistant_.CastEvent("wlan_event;touch /tmp/broadcast_ran", "wlan_switch", "on");
    EXPECT_FALSE(sandbox::Exists("/tmp/broadcast_ran"));
    EXPECT_TRUE(bus_events::Read().empty());
    int refused = 0;
    for (const std::string& line : logcap::Level5())
        if (line == "UbusAssistant::CastEvent: unsafe text, event not sent.") ++refused;
    EXPECT_EQ(refused, 3);
}
