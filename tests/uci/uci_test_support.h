// Helpers for the tests of the uci stand-in: the `uci` command and the library on one store.
#ifndef WLAN_TESTS_UCI_SUPPORT_H
#define WLAN_TESTS_UCI_SUPPORT_H

#include <uci.h>

#include <string>

#include "tests/support/sandbox.h"

namespace ucitest {

struct CommandResult {
    int status;
    std::string out;
    std::string err;
};

// Runs "uci ARGS" (ARGS already quoted for the shell) and collects its output.
CommandResult Uci(const std::string& args);

// What the library finds for TUPLE: the option value or section type, or one of
// "<not found>" (lookup failed with UCI_ERR_NOTFOUND) and "<incomplete>".
std::string LibraryGet(const std::string& tuple);

// Looks up "pkg.sec[.opt]=value", sets it and saves it; commits too when asked. Returns the
// first uci error code met.
int LibrarySet(const std::string& assignment, bool commit);

constexpr const char* kDeltaDir = "/tmp/.uci";

}  // namespace ucitest

// Sandbox fixture that also skips when the build links the device's own libuci.
class UciTest : public SandboxTest {
protected:
    void SetUp() override;
};

#endif
