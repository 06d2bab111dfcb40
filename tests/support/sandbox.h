#ifndef WLAN_TESTS_SANDBOX_H
#define WLAN_TESTS_SANDBOX_H

#include <gtest/gtest.h>

#include "host/sandbox/sandbox.h"

// Fixture for tests that need the sandbox: skips when it is unavailable, otherwise gives every
// test fresh overlays and an empty log capture.
class SandboxTest : public ::testing::Test {
protected:
    void SetUp() override;
};

#endif
