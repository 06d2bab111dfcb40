#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/sandbox.h"
#include "util/atomic_file.h"

using AtomicFileTest = SandboxTest;

TEST_F(AtomicFileTest, ReplacesTheTargetOfASymbolicLinkAndKeepsTheLink) {
    sandbox::WriteFile("/etc/AR6004_hostapd.conf", "old\n");
    ASSERT_EQ(symlink("/etc/AR6004_hostapd.conf", "/etc/hostapd.conf"), 0);
    ASSERT_TRUE(replace_file("/etc/hostapd.conf", "new\n"));
    struct stat st;
    ASSERT_EQ(lstat("/etc/hostapd.conf", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(sandbox::ReadFile("/etc/AR6004_hostapd.conf"), "new\n");
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

TEST_F(AtomicFileTest, FailsWhenTheDirectoryIsMissing) {
    EXPECT_FALSE(replace_file("/etc/no/such/dir/file", "x"));
}

TEST_F(AtomicFileTest, KeepsTheModeOfTheFileItReplaces) {
    sandbox::WriteFile("/usr/bin/script.sh", "#!/bin/sh\n");
    chmod("/usr/bin/script.sh", 0750);
    ASSERT_TRUE(replace_file("/usr/bin/script.sh", "#!/bin/sh\ntrue\n"));
    struct stat st;
    ASSERT_EQ(stat("/usr/bin/script.sh", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
}
