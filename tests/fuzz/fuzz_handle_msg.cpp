// HostapdAgent::HandleMsg, the daemon's event messages as the host passes them on (the
// commands they start are not run: no_commands.cpp).
#include <string>

#include "hostapd_agent.h"
#include "tests/fuzz/support.h"

namespace {
HostapdAgent* g_agent = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    g_agent = new HostapdAgent();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string msg(reinterpret_cast<const char*>(data), size);
    g_agent->HandleMsg(msg.c_str(), static_cast<int>(msg.size()));
    g_agent->ClearAllStaInfo();
    return 0;
}
