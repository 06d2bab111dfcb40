#include "commands.h"

#include <stdio.h>
#include <stdlib.h>

#include "show.h"

namespace uci_cli {
namespace {

bool Lookup(Session* s, char* arg, uci_ptr* ptr) {
    if (uci_lookup_ptr(s->ctx, ptr, arg, true) == UCI_OK) return true;
    ReportError(s);
    return false;
}

// For commands that read an entry: it must exist and the argument must not carry a value.
bool LookupExisting(Session* s, char* arg, uci_ptr* ptr) {
    if (!Lookup(s, arg, ptr)) return false;
    if (ptr->value != nullptr) {
        ReportError(s, UCI_ERR_INVAL);
        return false;
    }
    if (!(ptr->flags & uci_ptr::UCI_LOOKUP_COMPLETE)) {
        ReportError(s, UCI_ERR_NOTFOUND);
        return false;
    }
    return true;
}

// Runs ACTION on every package of the config directory; 1 when any of them failed.
template <typename Action>
int ForEachPackage(Session* s, Action action) {
    char** configs = nullptr;
    if (uci_list_configs(s->ctx, &configs) != UCI_OK) {
        ReportError(s);
        return 1;
    }
    int status = 0;
    for (char** name = configs; *name != nullptr; ++name) {
        uci_package* p = nullptr;
        if (uci_load(s->ctx, *name, &p) != UCI_OK || !action(&p)) {
            ReportError(s);
            status = 1;
        }
        if (p != nullptr) uci_unload(s->ctx, p);
    }
    free(configs);
    return status;
}

}  // namespace

void ReportError(Session* s, int err) {
    if (err != UCI_OK) s->ctx->err = err;
    if (!s->quiet) uci_perror(s->ctx, "uci");
}

int Get(Session* s, int argc, char** argv) {
    if (argc != 1) return kUsage;
    uci_ptr ptr;
    if (!LookupExisting(s, argv[0], &ptr)) return 1;
    if (ptr.last->type == UCI_TYPE_SECTION) {
        printf("%s\n", ptr.s->type);
    } else if (ptr.last->type == UCI_TYPE_OPTION) {
        printf("%s\n", PlainValue(ptr.o).c_str());
    }
    return 0;
}

int Set(Session* s, int argc, char** argv) {
    if (argc != 1) return kUsage;
    uci_ptr ptr;
    if (!Lookup(s, argv[0], &ptr)) return 1;
    if (ptr.value == nullptr) {
        ReportError(s, UCI_ERR_INVAL);
        return 1;
    }
    if (uci_set(s->ctx, &ptr) != UCI_OK || uci_save(s->ctx, ptr.p) != UCI_OK) {
        ReportError(s);
        return 1;
    }
    return 0;
}

int Commit(Session* s, int argc, char** argv) {
    if (argc > 1) return kUsage;
    if (argc == 0) {
        return ForEachPackage(
            s, [s](uci_package** p) { return uci_commit(s->ctx, p, false) == UCI_OK; });
    }
    uci_ptr ptr;
    if (!Lookup(s, argv[0], &ptr)) return 1;
    if (uci_commit(s->ctx, &ptr.p, false) != UCI_OK) {
        ReportError(s);
        return 1;
    }
    return 0;
}

int Revert(Session* s, int argc, char** argv) {
    if (argc != 1) return kUsage;
    uci_ptr ptr;
    if (!Lookup(s, argv[0], &ptr)) return 1;
    if (ptr.value != nullptr) {
        ReportError(s, UCI_ERR_INVAL);
        return 1;
    }
    if (uci_revert(s->ctx, &ptr) != UCI_OK) {
        ReportError(s);
        return 1;
    }
    return 0;
}

int Show(Session* s, int argc, char** argv) {
    if (argc > 1) return kUsage;
    if (argc == 0) {
        return ForEachPackage(s, [](uci_package** p) {
            ShowPackage(*p);
            return true;
        });
    }
    uci_ptr ptr;
    if (!LookupExisting(s, argv[0], &ptr)) return 1;
    switch (ptr.last->type) {
        case UCI_TYPE_PACKAGE:
            ShowPackage(ptr.p);
            break;
        case UCI_TYPE_SECTION:
            ShowSection(ptr.s);
            break;
        case UCI_TYPE_OPTION:
            ShowOption(ptr.o);
            break;
        default:
            break;
    }
    return 0;
}

}  // namespace uci_cli
