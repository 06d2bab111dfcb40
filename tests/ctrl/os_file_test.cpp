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

TEST_F(OsReadfile, ReturnsEveryByteIncludingZerosAndEmptyFiles) {
    std::string content("ssid=\0net\nwpa=2\n", 16);
    content += std::string(10000, '\xff');  // larger than any first read
    sandbox::WriteFile("/tmp/blob", content);
    bool ok;
    EXPECT_EQ(ReadWith("/tmp/blob", &ok), content);
    EXPECT_TRUE(ok);
    sandbox::WriteFile("/tmp/empty", "");
    EXPECT_EQ(ReadWith("/tmp/empty", &ok), "");
    EXPECT_TRUE(ok);
}

TEST_F(OsReadfile, ReadsFilesWhoseReportedSizeIsZero) {
    // Files under /proc report size 0 but have content.
    bool ok;
    const std::string status = ReadWith("/proc/self/status", &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(status.rfind("Name:", 0), 0u);
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

class OsRel2AbsPath : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        saved_ = std::filesystem::current_path();
    }
    void TearDown() override { std::filesystem::current_path(saved_); }

    // Makes a directory of about the given path length and enters it.
    std::string EnterDirectoryOfLength(size_t length) {
        std::string dir = "/tmp";
        while (dir.size() + 1 < length)
            dir += "/" + std::string(std::min<size_t>(60, length - dir.size() - 1), 'd');
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        return dir;
    }

    std::string Abs(const char* path) {
        char* abs = os_rel2abs_path(path);
        std::string text = abs != nullptr ? abs : "<null>";
        free(abs);
        return text;
    }

    std::filesystem::path saved_;
};

TEST_F(OsRel2AbsPath, RelativePathIsJoinedToTheWorkingDirectoryAbsoluteIsCopied) {
    const std::string dir = EnterDirectoryOfLength(20);
    EXPECT_EQ(Abs("run/wpa.pid"), dir + "/run/wpa.pid");
    EXPECT_EQ(Abs("/etc/wpa_supplicant.conf"), "/etc/wpa_supplicant.conf");
}

TEST_F(OsRel2AbsPath, WorkingDirectoryLongerThanTheFirstBufferIsRead) {
    const std::string dir = EnterDirectoryOfLength(700);
    ASSERT_GT(dir.size(), 512u);
    EXPECT_EQ(Abs("wpa.pid"), dir + "/wpa.pid");
}

TEST_F(OsRel2AbsPath, WorkingDirectoryBeyondTheLastBufferFails) {
    const std::string dir = EnterDirectoryOfLength(1100);
    ASSERT_GE(dir.size(), 1024u);
    EXPECT_EQ(Abs("wpa.pid"), "<null>");
}

}  // namespace
