// The library's lookup, set, save and commit on the store in /etc/config and /tmp/.uci.
#include <sys/mount.h>
#include <sys/stat.h>

#include <string>

#include "tests/host/uci/uci_test_support.h"

using ucitest::Context;
using ucitest::Delta;
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

// Every case starts from the package above.
class UciLibrary : public UciTest {
protected:
    void SetUp() override {
        UciTest::SetUp();
        if (!IsSkipped()) sandbox::WriteFile("/etc/config/wlan", kWlan);
    }
};

}  // namespace

using UciLookup = UciLibrary;

TEST_F(UciLookup, FindsOptionsAndMarksTheLookupComplete) {
    Context ctx;
    uci_ptr ptr;
    ASSERT_EQ(ctx.Lookup(&ptr, "wlan.basic_setting.disable_time"), UCI_OK);
    EXPECT_TRUE(ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE);
    ASSERT_NE(ptr.o, nullptr);
    EXPECT_EQ(ptr.last, &ptr.o->e);
    EXPECT_EQ(ptr.o->type, UCI_TYPE_STRING);
    EXPECT_STREQ(ptr.o->v.string, "300");
    EXPECT_STREQ(ptr.s->type, "basic_setting");
    EXPECT_STREQ(ptr.p->e.name, "wlan");
}

TEST_F(UciLookup, MissingSectionOrOptionIsIncompleteButMissingPackageIsNotFound) {
    Context ctx;
    uci_ptr ptr;
    ASSERT_EQ(ctx.Lookup(&ptr, "wlan.basic_setting.nothing"), UCI_OK);
    EXPECT_FALSE(ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE);
    EXPECT_NE(ptr.s, nullptr);
    EXPECT_EQ(ptr.o, nullptr);

    ASSERT_EQ(ctx.Lookup(&ptr, "wlan.nothing.disable_time"), UCI_OK);
    EXPECT_FALSE(ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE);
    EXPECT_EQ(ptr.s, nullptr);

    EXPECT_EQ(LibraryGet("no_such_package.x.y"), "<not found>");
}

TEST_F(UciLookup, BadTuplesAreParseErrors) {
    Context ctx;
    uci_ptr ptr;
    for (const char* bad : {"wlan.a.b.c", "wl an.a.b", "wlan.a.b-c", "wlan..x", "wlan.a.b=x\ny"})
        EXPECT_EQ(ctx.Lookup(&ptr, bad), UCI_ERR_PARSE) << bad;
}

TEST_F(UciLookup, ExtendedSyntaxIndexesSectionsOfAType) {
    EXPECT_EQ(LibraryGet("wlan.@iface[0].name"), "first");
    EXPECT_EQ(LibraryGet("wlan.@iface[-1].name"), "second");
    EXPECT_EQ(LibraryGet("wlan.@iface[2].name"), "<incomplete>");
    Context ctx;
    uci_ptr ptr;
    EXPECT_EQ(ctx.Lookup(&ptr, "wlan.@iface[0].name", false), UCI_ERR_INVAL);
}

using UciSave = UciLibrary;

TEST_F(UciSave, ChangesAreOnlyWrittenBySave) {
    {
        Context ctx;
        uci_ptr ptr;
        ASSERT_EQ(ctx.Lookup(&ptr, "wlan.basic_setting.disable_time=900"), UCI_OK);
        ASSERT_EQ(uci_set(ctx.get(), &ptr), UCI_OK);
        EXPECT_FALSE(sandbox::Exists("/tmp/.uci/wlan"));
    }
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "300");
}

TEST_F(UciSave, OptionInMissingSectionIsRefused) {
    EXPECT_EQ(LibrarySet("wlan.nothing.disable_time=1", true), UCI_ERR_INVAL);
    EXPECT_EQ(LibraryGet("wlan.nothing.disable_time"), "<incomplete>");
    EXPECT_EQ(Delta("wlan"), "");
}

TEST_F(UciSave, EmptyValueDeletesTheOption) {
    ASSERT_EQ(LibrarySet("wlan.basic_setting.power_level=", false), UCI_OK);
    EXPECT_EQ(Delta("wlan"), "-wlan.basic_setting.power_level\n");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.power_level"), "<incomplete>");
}

// A line break in a value would end the line in the package file and start one of the
// caller's choosing.
TEST_F(UciSave, ValuesWithLineBreaksAreRefused) {
    Context ctx;
    uci_ptr ptr;
    ASSERT_EQ(ctx.Lookup(&ptr, "wlan.basic_setting.disable_time"), UCI_OK);
    ptr.value = "1'\n\toption injected '1";
    EXPECT_EQ(uci_set(ctx.get(), &ptr), UCI_ERR_INVAL);
    EXPECT_STREQ(ptr.o->v.string, "300");
}

using UciCommit = UciLibrary;

TEST_F(UciCommit, RewritesThePackageAndEmptiesTheDelta) {
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

TEST_F(UciCommit, ReloadsThePackageWithChangesSavedByOtherContexts) {
    {
        Context ctx;
        uci_ptr ptr;
        ASSERT_EQ(ctx.Lookup(&ptr, "wlan.basic_setting.disable_time=5"), UCI_OK);
        ASSERT_EQ(uci_set(ctx.get(), &ptr), UCI_OK);
        ASSERT_EQ(LibrarySet("wlan.basic_setting.power_level=3", false), UCI_OK);
        ASSERT_EQ(uci_commit(ctx.get(), &ptr.p, false), UCI_OK);  // also saves the unsaved change
        uci_ptr fresh;
        ASSERT_EQ(ctx.Lookup(&fresh, "wlan.basic_setting.power_level"), UCI_OK);
        EXPECT_EQ(fresh.p, ptr.p);
        ASSERT_NE(fresh.o, nullptr);
        EXPECT_STREQ(fresh.o->v.string, "3");
    }
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "5");
    EXPECT_NE(sandbox::ReadFile("/etc/config/wlan").find("option power_level '3'"),
              std::string::npos);
}

TEST_F(UciCommit, WithoutSavedChangesTheFileIsLeftAlone) {
    std::string text = "# kept comment\nconfig a 'b'\n  option c d\n";
    sandbox::WriteFile("/etc/config/wlan", text);
    {
        Context ctx;
        uci_package* p = nullptr;
        ASSERT_EQ(uci_load(ctx.get(), "wlan", &p), UCI_OK);
        EXPECT_EQ(uci_commit(ctx.get(), &p, false), UCI_OK);
    }
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"), text);
}

TEST_F(UciCommit, WritesThroughASymbolicLinkAndKeepsTheFileMode) {
    ASSERT_EQ(rename("/etc/config/wlan", "/etc/wlan.real"), 0);
    ASSERT_EQ(chmod("/etc/wlan.real", 0640), 0);
    ASSERT_EQ(symlink("/etc/wlan.real", "/etc/config/wlan"), 0);
    ASSERT_EQ(LibrarySet("wlan.basic_setting.disable_time=42", true), UCI_OK);
    struct stat st;
    ASSERT_EQ(lstat("/etc/config/wlan", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(sandbox::ReadFile("/etc/wlan.real").find("'42'"), std::string::npos);
    ASSERT_EQ(stat("/etc/wlan.real", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(UciCommit, FailedWriteKeepsTheFileAndTheSavedChanges) {
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
    {
        Context ctx;
        uci_ptr ptr;
        ASSERT_EQ(ctx.Lookup(&ptr, "wlan.basic_setting.disable_time=7"), UCI_OK);
        ASSERT_EQ(uci_set(ctx.get(), &ptr), UCI_OK);
        ASSERT_EQ(LibrarySet("wlan.basic_setting.power_level=9", false), UCI_OK);
        ASSERT_EQ(uci_commit(ctx.get(), &ptr.p, true), UCI_OK);
    }
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "7");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.power_level"), "1");
    EXPECT_EQ(Delta("wlan"), "");
}
