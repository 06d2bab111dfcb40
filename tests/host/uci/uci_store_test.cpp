// The uci library and the `uci` command share one store: packages in /etc/config and, until
// `uci commit`, the changes saved under /tmp/.uci, which the library reads too. (The uci probe
// covers committed changes; a host that sets without committing relies on the rest.)
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

using UciStore = SandboxTest;

TEST_F(UciStore, UncommittedChangesAreSeenByTheLibraryUntilCommitWritesThem) {
#ifndef WLAN_UCI_STANDIN
    GTEST_SKIP() << "the build uses the device's libuci; this case covers the host stand-in";
#endif
    const std::string wlan = "\nconfig basic_setting 'basic_setting'\n\toption disable_time '";
    sandbox::WriteFile("/etc/config/wlan", wlan + "300'\n");
    ASSERT_EQ(sandbox::Run("uci set wlan.basic_setting.disable_time=600"), 0);
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "600");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"), wlan + "300'\n");

    ASSERT_EQ(sandbox::Run("uci commit wlan"), 0);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"), wlan + "600'\n\n");
    EXPECT_EQ(LibraryGet("wlan.basic_setting.disable_time"), "600");
}

}  // namespace
