// Event broadcasts through the `ubus send` command.
#include <gtest/gtest.h>

extern "C" {
#include <libubox/blobmsg_json.h>
}

#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "host/sandbox/bus_events.h"
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

// Name and value of the one string member of a JSON object, as the bus reads it.
std::pair<std::string, std::string> OnlyStringMember(const std::string& json) {
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    std::pair<std::string, std::string> member;
    if (blobmsg_add_json_from_string(&buf, json.c_str()) && blob_len(buf.head) > 0) {
        blob_attr* first = static_cast<blob_attr*>(blob_data(buf.head));
        if (blob_pad_len(first) == blob_len(buf.head) && blobmsg_type(first) == BLOBMSG_TYPE_STRING)
            member = {blobmsg_name(first), blobmsg_get_string(first)};
    }
    blob_buf_free(&buf);
    return member;
}

}  // namespace

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

TEST_F(CastEvent, AnyKeyOrValueArrivesAsItWasAndNothingOfItRuns) {
    const struct {
        const char* key;
        const char* value;
    } kCases[] = {
        {"wlan_switch", "on'; touch /tmp/broadcast_ran; echo '"},
        {"x' ; touch /tmp/broadcast_ran ; '", "on"},
        {"ssid", "say \"hi\" \\o/"},
        {"ssid", "two\nlines\tand\x01"},
        {"name", "$(touch /tmp/broadcast_ran)`touch /tmp/broadcast_ran`${HOME}"},
    };
    for (const auto& c : kCases) assistant_.CastEvent("wlan_event", c.key, c.value);
    // The event name stands bare on the command line.
    assistant_.CastEvent("wlan_event;touch /tmp/broadcast_ran", "wlan_switch", "on");

    EXPECT_FALSE(sandbox::Exists("/tmp/broadcast_ran"));
    auto events = bus_events::Read();
    ASSERT_EQ(events.size(), std::size(kCases));
    for (size_t i = 0; i < events.size(); ++i) {
        EXPECT_EQ(events[i].type, "wlan_event");
        EXPECT_EQ(OnlyStringMember(events[i].json),
                  std::make_pair(std::string(kCases[i].key), std::string(kCases[i].value)));
    }
    EXPECT_EQ(logcap::Level5(),
              std::vector<std::string>{"UbusAssistant::CastEvent: unsafe text, event not sent."});
}
