#include "tests/support/sandbox.h"

#include "tests/support/log_capture.h"

void SandboxTest::SetUp() {
    sandbox::Reset();  // does nothing without the sandbox
    if (!sandbox::Available()) GTEST_SKIP() << sandbox::Why();
    logcap::Clear();
}
