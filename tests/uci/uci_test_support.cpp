#include "tests/uci/uci_test_support.h"

#include <vector>

namespace ucitest {

CommandResult Uci(const std::string& args) {
    CommandResult r;
    r.status = sandbox::Run("uci " + args + " >/tmp/uci.out 2>/tmp/uci.err");
    r.out = sandbox::ReadFile("/tmp/uci.out");
    r.err = sandbox::ReadFile("/tmp/uci.err");
    return r;
}

std::string LibraryGet(const std::string& tuple) {
    uci_context* ctx = uci_alloc_context();
    std::vector<char> text(tuple.begin(), tuple.end());
    text.push_back('\0');
    uci_ptr ptr;
    std::string result = "<incomplete>";
    int rc = uci_lookup_ptr(ctx, &ptr, text.data(), true);
    if (rc == UCI_ERR_NOTFOUND) {
        result = "<not found>";
    } else if (rc == UCI_OK && (ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE)) {
        if (ptr.o != nullptr && ptr.o->type == UCI_TYPE_STRING) {
            result = ptr.o->v.string;
        } else if (ptr.o == nullptr && ptr.s != nullptr) {
            result = ptr.s->type;
        }
    }
    uci_free_context(ctx);
    return result;
}

int LibrarySet(const std::string& assignment, bool commit) {
    uci_context* ctx = uci_alloc_context();
    std::vector<char> text(assignment.begin(), assignment.end());
    text.push_back('\0');
    uci_ptr ptr;
    int rc = uci_lookup_ptr(ctx, &ptr, text.data(), true);
    if (rc == UCI_OK) rc = uci_set(ctx, &ptr);
    if (rc == UCI_OK) rc = uci_save(ctx, ptr.p);
    if (rc == UCI_OK && commit) rc = uci_commit(ctx, &ptr.p, false);
    uci_free_context(ctx);
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
