// The library's lookup, set, save and commit on the store in /etc/config and /tmp/.uci.
#include <sys/mount.h>
#include <sys/stat.h>

#include <string>

#include "tests/uci/uci_test_support.h"

using ucitest::LibraryGet;
using ucitest::LibrarySet;

namespace {

constexpr const char* kWlan =
    "\nconfig basic_setting 'basic_setting'\n"
    "\toption disable_time '300'\n"
    "\toption power_level '1'\n"
    "\tlist dns '192.0.2.1'\n"
    "\tlist dns '192.0.2.2'\n\n"
    "config iface\n"
    "\toption name 'first'\n\n"
    "config iface\n"
    "\toption name 'second'\n\n";

std::string Delta(const std::string& package) {
    return sandbox::ReadFile(std::string(ucitest::kDeltaDir) + "/" + package);
}

}  // namespace

using UciLookup = UciTest;

TEST_F(UciLookup, FindsOptionsAndMarksTheLookupComplete) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    uci_context* ctx = uci_alloc_context();
    char tuple[] = "wlan.basic_setting.disable_time";
    uci_ptr ptr;
    ASSERT_EQ(uci_lookup_ptr(ctx, &ptr, tuple, true), UCI_OK);
    EXPECT_TRUE(ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE);
    ASSERT_NE(ptr.o, nullptr);
    EXPECT_EQ(ptr.last, &ptr.o->e);
    EXPECT_EQ(ptr.o->type, UCI_TYPE_STRING);
    EXPECT_STREQ(ptr.o->v.string, "300");
    EXPECT_STREQ(ptr.s->type, "basic_setting");
    EXPECT_STREQ(ptr.p->e.name, "wlan");
    uci_free_context(ctx);
}

TEST_F(UciLookup, MissingSectionOrOptionIsIncompleteButNoError) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    uci_context* ctx = uci_alloc_context();
    char missing_option[] = "wlan.basic_setting.nothing";
    uci_ptr ptr;
    ASSERT_EQ(uci_lookup_ptr(ctx, &ptr, missing_option, true), UCI_OK);
    EXPECT_FALSE(ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE);
    EXPECT_NE(ptr.s, nullptr);
    EXPECT_EQ(ptr.o, nullptr);

    char missing_section[] = "wlan.nothing.disable_time";
    ASSERT_EQ(uci_lookup_ptr(ctx, &ptr, missing_section, true), UCI_OK);
    EXPECT_FALSE(ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE);
    EXPECT_EQ(ptr.s, nullptr);
    uci_free_context(ctx);
}

TEST_F(UciLookup, MissingPackageIsNotFound) {
    EXPECT_EQ(LibraryGet("no_such_package.x.y"), "<not found>");
}

TEST_F(UciLookup, BadTuplesAreParseErrors) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    uci_context* ctx = uci_alloc_context();
    uci_ptr ptr;
    for (std::string bad : {"wlan.a.b.c", "wl an.a.b", "wlan.a.b-c", "wlan..x", "wlan.a.b=x\ny"}) {
        EXPECT_EQ(uci_lookup_ptr(ctx, &ptr, &bad[0], true), UCI_ERR_PARSE) << bad;
    }
    uci_free_context(ctx);
}

TEST_F(UciLookup, ExtendedSyntaxIndexesSectionsOfAType) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    EXPECT_EQ(LibraryGet("wlan.@iface[0].name"), "first");
    EXPECT_EQ(LibraryGet("wlan.@iface[-1].name"), "second");
    EXPECT_EQ(LibraryGet("wlan.@iface[2].name"), "<incomplete>");

    uci_context* ctx = uci_alloc_context();
    char tuple[] = "wlan.@iface[0].name";
    uci_ptr ptr;
    EXPECT_EQ(uci_lookup_ptr(ctx, &ptr, tuple, false), UCI_ERR_INVAL);
    uci_free_context(ctx);
}

using UciSave = UciTest;

TEST_F(UciSave, SavedChangeIsADeltaSeenBeforeCommit) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.disable_time=600", false), UCI_OK);
    EXPECT_EQ(Delta("wlan"), "wlan.basic_setting.disable_time='600'\n");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"), kWlan);
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "600");
}

TEST_F(UciSave, ChangesAreOnlyWrittenBySave) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    uci_context* ctx = uci_alloc_context();
    char tuple[] = "wlan.basic_setting.disable_time=900";
    uci_ptr ptr;
    ASSERT_EQ(uci_lookup_ptr(ctx, &ptr, tuple, true), UCI_OK);
    ASSERT_EQ(uci_set(ctx, &ptr), UCI_OK);
    EXPECT_FALSE(sandbox::Exists("/tmp/.uci/wlan"));
    uci_free_context(ctx);
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "300");
}

TEST_F(UciSave, OptionInMissingSectionIsRefused) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    EXPECT_EQ(LibrarySet("wlan.nothing.disable_time=1", true), UCI_ERR_INVAL);
    EXPECT_EQ(LibraryGet("wlan.nothing.disable_time"), "<incomplete>");
    EXPECT_EQ(Delta("wlan"), "");
}

TEST_F(UciSave, SectionAssignmentCreatesANamedSection) {
    sandbox::WriteFile("/etc/config/wlan", "");
    ASSERT_EQ(LibrarySet("wlan.radio=wifi_device", false), UCI_OK);
    ASSERT_EQ(LibrarySet("wlan.radio.channel=6", true), UCI_OK);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"),
              "\nconfig wifi_device 'radio'\n\toption channel '6'\n\n");
}

TEST_F(UciSave, EmptyValueDeletesTheOption) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.power_level=", false), UCI_OK);
    EXPECT_EQ(Delta("wlan"), "-wlan.basic_setting.power_level\n");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.power_level"), "<incomplete>");
}

// A line break in a value would end the line in the package file and start one of the
// caller's choosing.
TEST_F(UciSave, ValuesWithLineBreaksAreRefused) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    uci_context* ctx = uci_alloc_context();
    char tuple[] = "wlan.basic_setting.disable_time";
    uci_ptr ptr;
    ASSERT_EQ(uci_lookup_ptr(ctx, &ptr, tuple, true), UCI_OK);
    ptr.value = "1'\n\toption injected '1";
    EXPECT_EQ(uci_set(ctx, &ptr), UCI_ERR_INVAL);
    EXPECT_STREQ(ptr.o->v.string, "300");
    uci_free_context(ctx);
}

using UciCommit = UciTest;

TEST_F(UciCommit, RewritesThePackageAndEmptiesTheDelta) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.disable_time=it's", true), UCI_OK);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"),
              "\nconfig basic_setting 'basic_setting'\n"
              "\toption disable_time 'it'\\''s'\n"
              "\toption power_level '1'\n"
              "\tlist dns '192.0.2.1'\n"
              "\tlist dns '192.0.2.2'\n\n"
              "config iface\n"
              "\toption name 'first'\n\n"
              "config iface\n"
              "\toption name 'second'\n\n");
    EXPECT_EQ(Delta("wlan"), "");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "it's");
}

TEST_F(UciCommit, TakesInChangesSavedByOtherContexts) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.power_level=2", false), UCI_OK);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.disable_time=600", true), UCI_OK);
    std::string file = sandbox::ReadFile("/etc/config/wlan");
    EXPECT_NE(file.find("option power_level '2'"), std::string::npos) << file;
    EXPECT_NE(file.find("option disable_time '600'"), std::string::npos) << file;
}

TEST_F(UciCommit, ReplacesThePackagePointerWithTheReloadedPackage) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    uci_context* ctx = uci_alloc_context();
    char tuple[] = "wlan.basic_setting.disable_time=5";
    uci_ptr ptr;
    ASSERT_EQ(uci_lookup_ptr(ctx, &ptr, tuple, true), UCI_OK);
    ASSERT_EQ(uci_set(ctx, &ptr), UCI_OK);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.power_level=3", false), UCI_OK);
    ASSERT_EQ(uci_commit(ctx, &ptr.p, false), UCI_OK);  // also saves the unsaved change
    char again[] = "wlan.basic_setting.power_level";
    uci_ptr fresh;
    ASSERT_EQ(uci_lookup_ptr(ctx, &fresh, again, true), UCI_OK);
    EXPECT_EQ(fresh.p, ptr.p);
    ASSERT_NE(fresh.o, nullptr);
    EXPECT_STREQ(fresh.o->v.string, "3");
    uci_free_context(ctx);
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "5");
}

TEST_F(UciCommit, WithoutSavedChangesTheFileIsLeftAlone) {
    std::string text = "# kept comment\nconfig a 'b'\n  option c d\n";
    sandbox::WriteFile("/etc/config/wlan", text);
    uci_context* ctx = uci_alloc_context();
    uci_package* p = nullptr;
    ASSERT_EQ(uci_load(ctx, "wlan", &p), UCI_OK);
    EXPECT_EQ(uci_commit(ctx, &p, false), UCI_OK);
    uci_free_context(ctx);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"), text);
}

TEST_F(UciCommit, WritesThroughASymbolicLink) {
    sandbox::WriteFile("/etc/wlan.real", kWlan);
    ASSERT_EQ(symlink("/etc/wlan.real", "/etc/config/wlan"), 0);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.disable_time=42", true), UCI_OK);
    struct stat st;
    ASSERT_EQ(lstat("/etc/config/wlan", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(sandbox::ReadFile("/etc/wlan.real").find("'42'"), std::string::npos);
}

TEST_F(UciCommit, KeepsTheFileModeOfThePackage) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    ASSERT_EQ(chmod("/etc/config/wlan", 0640), 0);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.disable_time=42", true), UCI_OK);
    struct stat st;
    ASSERT_EQ(stat("/etc/config/wlan", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(UciCommit, FailedWriteKeepsTheFileAndTheSavedChanges) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.disable_time=600", false), UCI_OK);
    ASSERT_EQ(mount("/etc/config", "/etc/config", nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(mount(nullptr, "/etc/config", nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    int rc = LibrarySet("wlan.basic_setting.power_level=2", true);
    umount("/etc/config");
    EXPECT_EQ(rc, UCI_ERR_IO);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"), kWlan);
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "600");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.power_level"), "2");
}

TEST_F(UciCommit, OverwriteWritesThePackageInMemoryAndDropsSavedChanges) {
    sandbox::WriteFile("/etc/config/wlan", kWlan);
    uci_context* ctx = uci_alloc_context();
    char tuple[] = "wlan.basic_setting.disable_time=7";
    uci_ptr ptr;
    ASSERT_EQ(uci_lookup_ptr(ctx, &ptr, tuple, true), UCI_OK);
    ASSERT_EQ(uci_set(ctx, &ptr), UCI_OK);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.power_level=9", false), UCI_OK);
    ASSERT_EQ(uci_commit(ctx, &ptr.p, true), UCI_OK);
    uci_free_context(ctx);
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "7");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.power_level"), "1");
    EXPECT_EQ(Delta("wlan"), "");
}
