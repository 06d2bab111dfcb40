// Random bytes from /dev/urandom, and what happens when it is not there or runs short.
#include <gtest/gtest.h>
#include <string.h>
#include <sys/mount.h>

#include <string>

#include "tests/support/sandbox.h"
#include "wlan_os.h"

namespace {

using OsGetRandom = SandboxTest;

TEST_F(OsGetRandom, FillsTheWholeBuffer) {
    unsigned char a[64] = {}, b[64] = {};
    ASSERT_EQ(os_get_random(a, sizeof(a)), 0);
    ASSERT_EQ(os_get_random(b, sizeof(b)), 0);
    EXPECT_NE(memcmp(a, b, sizeof(a)), 0);
    // The last bytes are filled too (a short read would leave them zero).
    unsigned char tail = 0;
    for (size_t i = 48; i < 64; ++i) tail |= a[i] | b[i];
    EXPECT_NE(tail, 0);
}

TEST_F(OsGetRandom, ShortSourceIsAFailure) {
    // A three-byte file in place of the device runs out before the buffer is full.
    sandbox::WriteFile("/tmp/urandom", "abc");
    ASSERT_EQ(mount("/tmp/urandom", "/dev/urandom", nullptr, MS_BIND, nullptr), 0);
    unsigned char buf[16];
    const int rc = os_get_random(buf, sizeof(buf));
    umount2("/dev/urandom", MNT_DETACH);
    EXPECT_EQ(rc, -1);
}

TEST_F(OsGetRandom, MissingDeviceIsReportedOnStandardOutput) {
    ASSERT_EQ(mount("tmpfs", "/dev", "tmpfs", 0, nullptr), 0);
    testing::internal::CaptureStdout();
    unsigned char buf[16];
    const int rc = os_get_random(buf, sizeof(buf));
    fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    umount2("/dev", MNT_DETACH);
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(out, "Could not open /dev/urandom.\n");
}

}  // namespace
