// The uci options of the Wi-Fi security warning, through the uci library.
#include "wlan_warn.h"

#include <stdio.h>
#include <stdlib.h>
#include <uci.h>

namespace {

// A uci context for one operation, freed on every path.
class UciContext {
public:
    UciContext() : ctx_(uci_alloc_context()) {}
    ~UciContext() {
        if (ctx_ != nullptr) uci_free_context(ctx_);
    }
    UciContext(const UciContext&) = delete;
    UciContext& operator=(const UciContext&) = delete;
    uci_context* get() const { return ctx_; }

private:
    uci_context* ctx_;
};

}  // namespace

extern "C" WLAN_EXPORT int getWlanwarnLaunch(void) {
    UciContext ctx;
    if (ctx.get() == nullptr) return -1;
    char name[] = "product.wlanwarn.launch";  // the lookup edits its argument
    uci_ptr ptr = {};
    if (uci_lookup_ptr(ctx.get(), &ptr, name, true) != UCI_OK ||
        (ptr.flags & uci_ptr::UCI_LOOKUP_COMPLETE) == 0 || ptr.o == nullptr ||
        ptr.o->type != UCI_TYPE_STRING)
        return -1;
    return static_cast<int>(strtol(ptr.o->v.string, nullptr, 10));
}

extern "C" WLAN_EXPORT int uci_set_wlan_sec_status(int status) {
    UciContext ctx;
    if (ctx.get() == nullptr) return -1;
    char name[] = "wlanwarn-storage.wlanwarn.wlan_status";
    char value[16];
    snprintf(value, sizeof(value), "%d", status);
    uci_ptr ptr = {};
    if (uci_lookup_ptr(ctx.get(), &ptr, name, true) != UCI_OK) return -1;
    ptr.value = value;
    if (uci_set(ctx.get(), &ptr) != UCI_OK || uci_save(ctx.get(), ptr.p) != UCI_OK ||
        uci_commit(ctx.get(), &ptr.p, false) != UCI_OK)
        return -1;
    return 0;
}
