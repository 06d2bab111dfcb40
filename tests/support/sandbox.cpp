#include "tests/support/sandbox.h"

#include <sys/stat.h>
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

bool WriteShellScript(const std::string& path, const std::string& body) {
    sandbox::WriteFile(path, "#!/bin/sh\n" + body);
    return chmod(path.c_str(), 0755) == 0;
}

void InstallRecorder(const std::string& name) {
    WriteShellScript("/usr/bin/" + name, "echo \"$*\" >> /tmp/" + name +
                                             ".calls\nexit $(cat /tmp/" + name +
                                             ".status 2>/dev/null || echo 0)\n");
}

std::string RecordedCalls(const std::string& name) {
    return sandbox::ReadFile("/tmp/" + name + ".calls");
}
