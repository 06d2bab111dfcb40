#include "tests/agent/agent_test_support.h"

#include <time.h>

namespace agent_test {

void WriteIdleTimes(const std::string& user_seconds, const std::string& system_seconds) {
    std::string conf = "config basic_setting 'basic_setting'\n";
    conf += "\toption disable_time '" + user_seconds + "'\n";
    sandbox::WriteFile("/etc/config/wlan",
                       conf + "\toption disable_time_system '" + system_seconds + "'\n");
}

long MonotonicSeconds() {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec;
}

std::optional<StaListItem> FindStation(HostapdAgent& agent, const char* mac) {
    StaList* list = agent.GetStaList();
    StaListItem key;
    key.SetMAC(mac);
    std::optional<StaListItem> station;
    list->_Lock();
    StaListItem* found = list->_FindSta(&key);
    if (found != nullptr) station.emplace(*found);
    list->_Unlock();
    return station;
}

}  // namespace agent_test

void AgentTest::Prepare() {
    agent_test::WriteIdleTimes("600", "300");
    InstallRecorder("ip");
    HostapdAgent::DeinitEventCb();
    HostapdAgent::InitEventCb();
    HostapdAgent::RegisterEventCb(recorder::Callback<1>);
    recorder::Clear();
    agent_ = new HostapdAgent();
}

void AgentTest::TearDown() {
    delete agent_;
    agent_ = nullptr;
    HostapdAgent::StopCountDown();
    HostapdAgent::DeinitEventCb();
}
