#include <gtest/gtest.h>
#include <string.h>

#include "tests/support/log_capture.h"
#include "tests/support/sandbox.h"

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        if (strncmp(argv[i], "--gtest_list_tests", 18) == 0) listing = true;
    if (!listing) sandbox::Init(argc, argv);
    logcap::Install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
