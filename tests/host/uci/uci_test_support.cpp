#include "tests/host/uci/uci_test_support.h"

namespace ucitest {

CommandResult Uci(const std::string& args) {
    CommandResult r;
    r.status = sandbox::Run("uci " + args + " >/tmp/uci.out 2>/tmp/uci.err");
    r.out = sandbox::ReadFile("/tmp/uci.out");
    r.err = sandbox::ReadFile("/tmp/uci.err");
    return r;
}

std::string LibraryGet(const std::string& tuple) {
    Context ctx;
    uci_ptr ptr;
    int rc = ctx.Lookup(&ptr, tuple);
    if (rc == UCI_ERR_NOTFOUND) return "<not found>";
    if (rc != UCI_OK || !(ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE)) return "<incomplete>";
    if (ptr.o != nullptr) return ptr.o->type == UCI_TYPE_STRING ? ptr.o->v.string : "<incomplete>";
    return ptr.s != nullptr ? ptr.s->type : "<incomplete>";
}

std::string Delta(const std::string& package) {
    return sandbox::ReadFile(std::string(kDeltaDir) + "/" + package);
}

int LibrarySet(const std::string& assignment, bool commit) {
    Context ctx;
    uci_ptr ptr;
    int rc = ctx.Lookup(&ptr, assignment);
    if (rc == UCI_OK) rc = uci_set(ctx.get(), &ptr);
    if (rc == UCI_OK) rc = uci_save(ctx.get(), ptr.p);
    if (rc == UCI_OK && commit) rc = uci_commit(ctx.get(), &ptr.p, false);
    return rc;
}

}  // namespace ucitest

void UciTest::SetUp() {
    SandboxTest::SetUp();
    if (IsSkipped()) return;
#ifndef WLAN_UCI_STANDIN
    GTEST_SKIP() << "the build uses the device's libuci; these cases cover the host stand-in";
#endif
}
