#ifndef WLAN_TESTS_SANDBOX_H
#define WLAN_TESTS_SANDBOX_H

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/sandbox/sandbox.h"

// Fixture for tests that need the sandbox: skips when it is unavailable, otherwise gives every
// test fresh overlays and an empty log capture, then runs Prepare.
class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override;
    // The fixture's own preparation; runs only when the test is not skipped.
    virtual void Prepare() {}
};

// Polls the condition every 10 ms until it holds or timeout_ms has passed; returns its last
// value. The limit only keeps a broken build from hanging, it is not a timing requirement.
bool WaitUntil(const std::function<bool()>& condition, unsigned timeout_ms = 30000);

// Writes an executable shell script (the body after "#!/bin/sh"); false when it cannot be made
// executable.
bool WriteShellScript(const std::string& path, const std::string& body);

// Replaces a program in /usr/bin with a script that appends its arguments to /tmp/<name>.calls
// and exits with the status held in /tmp/<name>.status (0 when absent).
void InstallRecorder(const std::string& name);
std::string RecordedCalls(const std::string& name);

#endif
