#include <ctype.h>

#include "radio/radio_start_steps.h"
#include "util/log.h"
#include "util/shell.h"

namespace {

constexpr size_t kLineSize = 100;
// Far above any radio channel; a longer number is not a channel.
constexpr uint32_t kMaxChannelNumber = 100000;

}  // namespace

uint32_t leading_channel_number(const char* line) {
    if (line == nullptr) return 0;
    uint32_t channel = 0;
    for (const char* p = line; isdigit(static_cast<unsigned char>(*p)); ++p) {
        channel = channel * 10 + static_cast<uint32_t>(*p - '0');
        if (channel > kMaxChannelNumber) return 0;
    }
    return channel;
}

uint32_t query_operating_channel() {
    ShellPipe pipe;
    if (!pipe.Open("wlarm chanspec")) {
        wlan_errlog(WLAN_PRIO_ERROR, "wlarm chanspec failed!\n");
        return 0;
    }
    char line[kLineSize];
    if (!pipe.ReadLine(line, sizeof(line))) return 0;
    return leading_channel_number(line);
}
