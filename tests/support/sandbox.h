#ifndef WLAN_TESTS_SANDBOX_H
#define WLAN_TESTS_SANDBOX_H

#include <gtest/gtest.h>

#include <functional>

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

#endif
