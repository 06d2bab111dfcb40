// Helpers for the tests of the uci stand-in: the `uci` command and the library on one store.
#ifndef WLAN_TESTS_HOST_UCI_SUPPORT_H
#define WLAN_TESTS_HOST_UCI_SUPPORT_H

#include <uci.h>

#include <list>
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

// The saved changes of a package.
std::string Delta(const std::string& package);

// A library context freed with the test; Lookup keeps the tuple text alive, as the pointer
// refers into it.
class Context {
public:
    Context() : ctx_(uci_alloc_context()) {}
    ~Context() { uci_free_context(ctx_); }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    uci_context* get() const { return ctx_; }
    int Lookup(uci_ptr* ptr, const std::string& tuple, bool extended = true) {
        tuples_.push_back(tuple);
        return uci_lookup_ptr(ctx_, ptr, &tuples_.back()[0], extended);
    }

private:
    uci_context* ctx_;
    std::list<std::string> tuples_;
};

}  // namespace ucitest

// Sandbox fixture that also skips when the build links the device's own libuci.
class UciTest : public SandboxTest {
protected:
    void SetUp() override;
};

#endif
