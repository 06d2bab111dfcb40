// The uci library and the `uci` command share one store: packages in /etc/config and, until
// `uci commit`, the changes saved under /tmp/.uci, which both sides read. (The uci probe covers
// committed changes; a host that sets without committing relies on the rest.)
#include <uci.h>

#include <string>

#include "tests/support/sandbox.h"

namespace {

// The option's value as the library finds it, or "<none>".
std::string LibraryGet(std::string tuple) {
    uci_context* ctx = uci_alloc_context();
    uci_ptr ptr;
    std::string value = "<none>";
    if (uci_lookup_ptr(ctx, &ptr, &tuple[0], true) == UCI_OK &&
        (ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE) && ptr.o != nullptr &&
        ptr.o->type == UCI_TYPE_STRING)
        value = ptr.o->v.string;
    uci_free_context(ctx);
    return value;
}

// Sets and saves "pkg.sec.opt=value" without committing.
int LibrarySave(std::string assignment) {
    uci_context* ctx = uci_alloc_context();
    uci_ptr ptr;
    int rc = uci_lookup_ptr(ctx, &ptr, &assignment[0], true);
    if (rc == UCI_OK) rc = uci_set(ctx, &ptr);
    if (rc == UCI_OK) rc = uci_save(ctx, ptr.p);
    uci_free_context(ctx);
    return rc;
}

constexpr const char* kWlan =
    "\nconfig basic_setting 'basic_setting'\n\toption disable_time '300'\n";

class UciStore : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        if (IsSkipped()) return;
#ifndef WLAN_UCI_STANDIN
        GTEST_SKIP() << "the build uses the device's libuci; this case covers the host stand-in";
#endif
        sandbox::WriteFile("/etc/config/wlan", kWlan);
    }
};

TEST_F(UciStore, UncommittedChangesOfEitherSideAreSeenByTheOtherUntilCommitWritesThem) {
    ASSERT_EQ(sandbox::Run("uci set wlan.basic_setting.disable_time=600"), 0);
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "600");
    ASSERT_EQ(LibrarySave("wlan.basic_setting.power_level=2"), UCI_OK);
    EXPECT_EQ(sandbox::Output("uci get wlan.basic_setting.power_level"), "2\n");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"), kWlan);
    EXPECT_EQ(sandbox::ReadFile("/tmp/.uci/wlan"),
              "wlan.basic_setting.disable_time='600'\nwlan.basic_setting.power_level='2'\n");

    ASSERT_EQ(sandbox::Run("uci commit wlan"), 0);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"),
              "\nconfig basic_setting 'basic_setting'\n\toption disable_time '600'\n"
              "\toption power_level '2'\n\n");
    EXPECT_EQ(sandbox::ReadFile("/tmp/.uci/wlan"), "");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.power_level"), "2");
}

}  // namespace
