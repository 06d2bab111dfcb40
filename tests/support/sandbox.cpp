#include "tests/support/sandbox.h"

#include <unistd.h>

#include "tests/support/log_capture.h"

void SandboxTest::SetUp() {
    sandbox::Reset();  // does nothing without the sandbox
    if (!sandbox::Available()) GTEST_SKIP() << sandbox::Why();
    logcap::Clear();
    Prepare();
}

bool WaitUntil(const std::function<bool()>& condition, unsigned timeout_ms) {
    constexpr unsigned kPollMs = 10;
    for (unsigned waited = 0; !condition(); waited += kPollMs) {
        if (waited >= timeout_ms) return condition();
        usleep(kPollMs * 1000);
    }
    return true;
}
