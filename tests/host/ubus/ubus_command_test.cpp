// `ubus send` refuses a message that is not a JSON object, and an event type that would break
// the log line, so that an event the library builds badly fails its test instead of being logged.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/bus_events.h"
#include "tests/support/sandbox.h"

namespace {

using UbusCommand = SandboxTest;

TEST_F(UbusCommand, InvalidMessageOrEventTypeFailsAndLogsNothing) {
    for (const char* args :
         {R"(wlan_event '{"wlan_switch":')", "wlan_event 'not json'", "wlan_event '[1,2]'",
          "wlan_event ''", "'two words' '{}'", "'' '{}'"}) {
        EXPECT_NE(sandbox::Run(std::string("ubus send ") + args + " 2>/dev/null"), 0) << args;
    }
    EXPECT_TRUE(bus_events::Read().empty());
}

}  // namespace
