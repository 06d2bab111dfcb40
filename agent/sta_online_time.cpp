#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "hostapd_agent.h"
#include "wlan_time.h"

namespace {
constexpr long kMaxHours = 99;
}

extern "C" WLAN_EXPORT char* secToStandardTime(long seconds, char* buf, int size) {
    if (buf == nullptr || size <= 0) return buf;
    memset(buf, 0, static_cast<size_t>(size));
    if (seconds < 0) seconds = 0;
    long hours = seconds / 60 / 60;
    long minutes = seconds / 60 % 60;
    long secs = seconds % 60;
    if (hours > kMaxHours) {
        hours = kMaxHours;
        minutes = 59;
        secs = 59;
    }
    snprintf(buf, static_cast<size_t>(size), "%02ld:%02ld:%02ld", hours, minutes, secs);
    buf[size - 1] = '\0';
    return buf;
}

void HostapdAgent::UpdateAllStaOnlineTime() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    _sta_list->_Lock();
    for (StaListItem* station = _sta_list->_GetFirst(); station != nullptr;
         station = station->GetNext()) {
        long elapsed =
            static_cast<long>(now.tv_sec) - strtol(station->GetConnectedTime(), nullptr, 10);
        char online[9];
        secToStandardTime(elapsed, online, sizeof(online));
        station->SetOnlineTime(online);
    }
    _sta_list->_Unlock();
}
