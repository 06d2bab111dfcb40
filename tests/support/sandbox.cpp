#include "tests/support/sandbox.h"

#include <sys/stat.h>

#include <chrono>

#include "host/sandbox/device_processes.h"
#include "tests/support/log_capture.h"

void SandboxTest::SetUp() {
    sandbox::Reset();  // does nothing without the sandbox
    if (!sandbox::Available()) GTEST_SKIP() << sandbox::Why();
    logcap::Clear();
    Prepare();
}

bool WaitUntil(const std::function<bool()>& condition, unsigned timeout_ms) {
    return device_processes::WaitFor(condition, std::chrono::milliseconds(timeout_ms),
                                     std::chrono::milliseconds(10));
}

bool WriteShellScript(const std::string& path, const std::string& body) {
    sandbox::WriteFile(path, "#!/bin/sh\n" + body);
    return chmod(path.c_str(), 0755) == 0;
}

void InstallRecorder(const std::string& name) {
    const std::string file = "/tmp/" + name;
    WriteShellScript("/usr/bin/" + name, "echo \"$*\" >> " + file + ".calls\nexit $(cat " + file +
                                             ".status 2>/dev/null || echo 0)\n");
}

std::string RecordedCalls(const std::string& name) {
    return sandbox::ReadFile("/tmp/" + name + ".calls");
}
