#include "util/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/sandbox.h"

using AtomicFileTest = SandboxTest;

// The target of a symbolic link is replaced and the link kept, with the mode of the old file.
TEST_F(AtomicFileTest, ReplacesTheLinkTargetKeepingLinkAndMode) {
    sandbox::WriteFile("/etc/AR6004_hostapd.conf", "old\n");
    chmod("/etc/AR6004_hostapd.conf", 0750);
    ASSERT_EQ(symlink("/etc/AR6004_hostapd.conf", "/etc/hostapd.conf"), 0);
    ASSERT_TRUE(replace_file("/etc/hostapd.conf", "new\n"));
    struct stat st;
    ASSERT_EQ(lstat("/etc/hostapd.conf", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(sandbox::ReadFile("/etc/AR6004_hostapd.conf"), "new\n");
    ASSERT_EQ(stat("/etc/AR6004_hostapd.conf", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_FALSE(replace_file("/etc/no/such/dir/file", "x"));
}

TEST_F(AtomicFileTest, AbortedRewriteLeavesTheOldFileAndNoTemporary) {
    sandbox::WriteFile("/etc/config/x", "keep\n");
    {
        AtomicFile f;
        ASSERT_TRUE(f.Open("/etc/config/x"));
        fputs("half", f.Stream());
    }
    EXPECT_EQ(sandbox::ReadFile("/etc/config/x"), "keep\n");
    EXPECT_EQ(sandbox::Output("ls -A /etc/config"), "x\n");
}
