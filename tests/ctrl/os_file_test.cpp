// Reading whole files and making paths absolute.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/support/sandbox.h"
#include "wlan_os.h"

namespace {

// Reads a file with os_readfile into a string; *ok tells whether it succeeded.
std::string ReadWith(const char* path, bool* ok) {
    size_t len = 999;
    char* data = os_readfile(path, &len);
    *ok = data != nullptr;
    if (data == nullptr) return "";
    std::string text(data, len);
    EXPECT_EQ(data[len], '\0') << "no terminator after the data";
    free(data);
    return text;
}

using OsReadfile = SandboxTest;

// Files under /proc report size 0 but have content.
TEST_F(OsReadfile, ReturnsEveryByteWhateverTheReportedSize) {
    std::string content("ssid=\0net\nwpa=2\n", 16);
    content += std::string(10000, '\xff');  // larger than any first read
    sandbox::WriteFile("/tmp/blob", content);
    sandbox::WriteFile("/tmp/empty", "");
    bool ok;
    EXPECT_EQ(ReadWith("/tmp/blob", &ok), content);
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadWith("/tmp/empty", &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(ReadWith("/proc/self/status", &ok).rfind("Name:", 0), 0u);
    EXPECT_TRUE(ok);
}

TEST_F(OsReadfile, FailsForMissingFilesDirectoriesAndEndlessDevices) {
    bool ok;
    ReadWith("/tmp/missing", &ok);
    EXPECT_FALSE(ok);
    ReadWith("/tmp", &ok);
    EXPECT_FALSE(ok);
    ReadWith("/dev/zero", &ok);  // would never end
    EXPECT_FALSE(ok);
    ASSERT_EQ(mkfifo("/tmp/fifo", 0600), 0);
    ReadWith("/tmp/fifo", &ok);  // must not wait for a writer
    EXPECT_FALSE(ok);
}

using OsRel2AbsPath = SandboxTest;

// A relative path is joined to the working directory, also one longer than the first buffer
// (512); a directory beyond the last buffer (1024) fails; an absolute path is copied.
TEST_F(OsRel2AbsPath, JoinsRelativePathsToTheWorkingDirectory) {
    const std::filesystem::path saved = std::filesystem::current_path();
    for (size_t length : {20, 700, 1100}) {
        std::string dir = "/tmp";
        while (dir.size() + 1 < length)
            dir += "/" + std::string(std::min<size_t>(60, length - dir.size() - 1), 'd');
        std::filesystem::create_directories(dir);
        ASSERT_EQ(chdir(dir.c_str()), 0);
        char* abs = os_rel2abs_path("run/wpa.pid");
        EXPECT_EQ(abs != nullptr ? abs : "<null>", length < 1024 ? dir + "/run/wpa.pid" : "<null>")
            << length;
        free(abs);
    }
    std::filesystem::current_path(saved);
    char* abs = os_rel2abs_path("/etc/wpa_supplicant.conf");
    EXPECT_STREQ(abs, "/etc/wpa_supplicant.conf");
    free(abs);
}

}  // namespace
