// `cmake --install` of this build into a fresh prefix, and a host program built against that
// prefix alone, once with find_package(wlanmgr) and once with pkg-config, then run.
#include <errno.h>
#include <fnmatch.h>
#include <glob.h>
#include <string.h>
#include <sys/mount.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/sandbox.h"

namespace fs = std::filesystem;

namespace {

const std::string kPrefix = "/tmp/prefix";
const std::string kStaging = "/tmp/staging";
const std::string kLibDir = kPrefix + "/" WLAN_LIBDIR;

// Runs a shell command line; on failure the result carries the line and its output.
::testing::AssertionResult Runs(const std::string& command_line) {
    std::string out = sandbox::Output("(" + command_line + ") 2>&1; echo \"[exit $?]\"");
    if (out.size() >= 9 && out.compare(out.size() - 9, 9, "[exit 0]\n") == 0)
        return ::testing::AssertionSuccess() << out;
    return ::testing::AssertionFailure() << command_line << "\n" << out;
}

// Installs as a package build does: prefix /usr, into the staging folder (DESTDIR).
::testing::AssertionResult Stage() {
    return Runs("DESTDIR=" + kStaging + " cmake --install " + sandbox::BuildDir() +
                " --prefix /usr");
}

class InstallTest : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
#ifdef WLAN_CROSS_BUILD
        GTEST_SKIP() << "cross build: the consumer would need the toolchain and the emulator";
#endif
        // cmake --install writes its manifest into the build tree, which stays read-only in the
        // sandbox: an overlay in /tmp takes that write.
        for (const char* dir : {"/tmp/overlay/upper", "/tmp/overlay/work"})
            fs::create_directories(dir);
        const std::string build = sandbox::BuildDir();
        const std::string layers =
            "lowerdir=" + build + ",upperdir=/tmp/overlay/upper,workdir=/tmp/overlay/work";
        ASSERT_EQ(mount("overlay", build.c_str(), "overlay", 0, layers.c_str()), 0)
            << strerror(errno);
        overlaid_ = true;
    }
    void TearDown() override {
        if (overlaid_) umount2(sandbox::BuildDir().c_str(), MNT_DETACH);
    }

private:
    bool overlaid_ = false;
};

// Only what ships lands in the staging folder, as a package build installs (DESTDIR, prefix
// /usr): the library with its soname links, every exported header, the CMake package and the
// pkg-config file (which the consumer below needs), and the daemon's files. No static archive, no
// stand-in library or program, no test host, nothing outside the staging folder.
TEST_F(InstallTest, InstallsWhatShipsAndNothingElse) {
    ASSERT_TRUE(Stage());
    const std::string lib = "usr/" WLAN_LIBDIR "/";
    std::set<std::string> wanted = {lib + "libwlanmgr.so", lib + "libwlanmgr.so.1",
                                    lib + "libwlanmgr.so." WLAN_VERSION};
    for (const auto& header : fs::directory_iterator(sandbox::SourceDir() + "/include"))
        wanted.insert("usr/" WLAN_INCLUDEDIR "/wlanmgr/" + header.path().filename().string());
    auto also_shipped = [&](const std::string& path) {
        for (std::string pattern :
             {lib + "cmake/wlanmgr/wlanmgr*.cmake", lib + "pkgconfig/libwlanmgr.pc",
              std::string("*/sbin/wlanmgrd"), std::string("*/init.d/wlanmgrd"),
              std::string("*/acl.d/wlanmgr.json")})
            if (fnmatch(pattern.c_str(), path.c_str(), 0) == 0) return true;
        return false;
    };
    for (const auto& entry : fs::recursive_directory_iterator(kStaging)) {
        std::string path = entry.path().lexically_relative(kStaging).string();
        EXPECT_TRUE(entry.is_directory() || wanted.erase(path) == 1 || also_shipped(path))
            << "installed but not shipped: " << path;
    }
    for (const std::string& path : wanted) ADD_FAILURE() << "not installed: " << path;
    EXPECT_EQ(
        sandbox::ReadFile(kStaging + "/" + lib + "pkgconfig/libwlanmgr.pc").find("prefix=/usr\n"),
        0u);
}

// The package Makefile of the device's build system names only what exists: its version is the
// library's, the source parts it copies and the files it takes from them are in the tree, the
// files it takes from the install are installed, and the options it sets are this build's.
TEST_F(InstallTest, PackageMakefileNamesWhatTheTreeAndTheInstallHold) {
    const std::string tree = sandbox::SourceDir();
    ASSERT_TRUE(Stage());
    const std::string makefile = sandbox::ReadFile(tree + "/packaging/openwrt/wlanmgr/Makefile");
    const std::string cmakelists = sandbox::ReadFile(tree + "/CMakeLists.txt");
    auto after = [](const std::string& text, const std::string& key) {  // the rest of its line
        size_t at = text.find(key);
        if (at == std::string::npos) return std::string();
        at += key.size();
        return text.substr(at, text.find('\n', at) - at);
    };
    EXPECT_EQ(after(makefile, "\nPKG_VERSION:="), WLAN_VERSION);
    std::set<std::string> parts;
    std::istringstream part_list(after(makefile, "\nWLANMGR_SOURCE_PARTS :="));
    for (std::string part; part_list >> part;) {
        EXPECT_TRUE(sandbox::Exists(tree + "/" + part)) << part;
        parts.insert(part);
    }
    std::istringstream words(makefile);
    for (std::string word; words >> word;) {
        const std::string build = "$(PKG_BUILD_DIR)/", install = "$(PKG_INSTALL_DIR)/";
        if (word.rfind(build, 0) == 0 && word.size() > build.size()) {
            std::string path = word.substr(build.size());
            EXPECT_TRUE(sandbox::Exists(tree + "/" + path)) << word;
            EXPECT_EQ(parts.count(path.substr(0, path.find('/'))), 1u) << word << " is not copied";
        } else if (word.rfind(install, 0) == 0) {
            glob_t found;
            std::string pattern = kStaging + "/" + word.substr(install.size());
            EXPECT_EQ(glob(pattern.c_str(), 0, nullptr, &found), 0) << word << " is not installed";
            globfree(&found);
        } else if (word.rfind("-DWLANMGR_", 0) == 0) {
            std::string name = word.substr(2, word.find('=') - 2);
            EXPECT_TRUE(cmakelists.find("option(" + name + " ") != std::string::npos ||
                        cmakelists.find("set(" + name + " ") != std::string::npos)
                << name << " is no option of this build";
        }
    }
}

// The consumer sees the installed headers and library only. The stand-ins of this build are
// never installed: the linker and the program find them, as the device's libraries, through
// LD_LIBRARY_PATH.
TEST_F(InstallTest, ConsumerBuildsAndRunsWithFindPackageAndWithPkgConfig) {
    ASSERT_TRUE(Runs("cmake --install " + sandbox::BuildDir() + " --prefix " + kPrefix));
    const std::string source = sandbox::SourceDir() + "/tests/install/consumer";
    const std::string flags = WLAN_CXX_FLAGS " -Wall -Wextra -Werror";
    const std::string env = "export LD_LIBRARY_PATH=" WLAN_STANDIN_PATH ":" + kLibDir +
                            " PKG_CONFIG_LIBDIR=" + kLibDir +
                            "/pkgconfig PKG_CONFIG_PATH= CMAKE_PREFIX_PATH=; ";
    const struct {
        const char* way;
        std::string build;
    } ways[] = {
        {"find_package",
         "cmake -S " + source +
             " -B /tmp/cm -G '" WLAN_GENERATOR "' -DCMAKE_MAKE_PROGRAM=" WLAN_MAKE_PROGRAM
             " -DCMAKE_CXX_COMPILER=" WLAN_CXX " -DCMAKE_CXX_FLAGS='" +
             flags + "' -DCMAKE_EXE_LINKER_FLAGS='" WLAN_LD_FLAGS "' -DCMAKE_PREFIX_PATH=" +
             kPrefix + " -DWLANMGR_VERSION=" WLAN_VERSION +
             " -DCMAKE_FIND_PACKAGE_NO_PACKAGE_REGISTRY=ON && cmake --build /tmp/cm && "
             "/tmp/cm/consumer"},
        {"pkg-config", "test \"$(pkg-config --modversion libwlanmgr)\" = " WLAN_VERSION
                       " && " WLAN_CXX " " +
                           flags + " -o /tmp/pc-consumer " + source +
                           "/main.cpp $(pkg-config --cflags --libs libwlanmgr) " WLAN_LD_FLAGS
                           " && /tmp/pc-consumer"},
    };
    for (const auto& way : ways) {
        std::string out = sandbox::Output(env + way.build + " 2>&1; echo \"[exit $?]\"");
        EXPECT_NE(out.find("consumer ok\n[exit 0]\n"), std::string::npos)
            << way.way << ": " << way.build << "\n"
            << out;
    }
}

}  // namespace
