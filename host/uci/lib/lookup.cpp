// Parsing of "package[.section[.option]][=value]" tuples and lookup of the named elements.
#include <stdlib.h>
#include <string.h>

#include "uci_internal.h"

using uci_host::Fail;

namespace {

void AddFlag(uci_ptr* ptr, int flag) {
    ptr->flags = static_cast<decltype(ptr->flags)>(ptr->flags | flag);
}

// Cuts STR at the next '.', returning the part before it; *rest moves past the dot (or to null).
char* NextPart(char** rest) {
    char* part = *rest;
    if (part == nullptr) return nullptr;
    char* dot = strchr(part, '.');
    if (dot != nullptr) *dot = '\0';
    *rest = dot != nullptr ? dot + 1 : nullptr;
    return part;
}

int ParseTuple(uci_ptr* ptr, char* str) {
    memset(ptr, 0, sizeof(*ptr));
    char* eq = strchr(str, '=');
    if (eq != nullptr) {
        *eq = '\0';
        ptr->value = eq + 1;
    }
    char* rest = str;
    ptr->package = NextPart(&rest);
    ptr->section = NextPart(&rest);
    ptr->option = NextPart(&rest);
    ptr->target = ptr->option    ? UCI_TYPE_OPTION
                  : ptr->section ? UCI_TYPE_SECTION
                                 : UCI_TYPE_PACKAGE;
    bool ok = rest == nullptr && uci_host::ValidPackageName(ptr->package) &&
              (ptr->section == nullptr || *ptr->section != '\0') &&
              (ptr->option == nullptr || uci_host::ValidName(ptr->option)) &&
              (ptr->value == nullptr || uci_validate_text(ptr->value));
    if (!ok) {
        memset(ptr, 0, sizeof(*ptr));
        return UCI_ERR_PARSE;
    }
    if (ptr->section != nullptr && !uci_host::ValidName(ptr->section))
        AddFlag(ptr, uci_ptr::UCI_LOOKUP_EXTENDED);
    return UCI_OK;
}

// "@type[index]": the index-th section of that type, counted from the end when negative.
int FindByTypeIndex(uci_ptr* ptr, uci_section** found) {
    *found = nullptr;
    const char* text = ptr->section;
    const char* open = strchr(text, '[');
    if (text[0] != '@' || open == nullptr) return UCI_ERR_INVAL;
    std::string type(text + 1, open);
    char* end = nullptr;
    long index = strtol(open + 1, &end, 10);
    if (end == open + 1 || end[0] != ']' || end[1] != '\0' || !uci_host::ValidType(type.c_str()))
        return UCI_ERR_INVAL;

    std::vector<uci_section*> matches;
    uci_element* e;
    uci_foreach_element(&ptr->p->sections, e) {
        if (type == uci_to_section(e)->type) matches.push_back(uci_to_section(e));
    }
    long count = static_cast<long>(matches.size());
    if (index < 0) index += count;
    if (index < 0 || index >= count) return UCI_OK;
    *found = matches[static_cast<size_t>(index)];
    ptr->section = (*found)->e.name;
    return UCI_OK;
}

}  // namespace

UCI_PUBLIC int uci_parse_ptr(uci_context* ctx, uci_ptr* ptr, char* str) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (ptr == nullptr || str == nullptr) return Fail(ctx, UCI_ERR_INVAL);
    return Fail(ctx, ParseTuple(ptr, str));
}

UCI_PUBLIC int uci_lookup_ptr(uci_context* ctx, uci_ptr* ptr, char* str, bool extended) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (ptr == nullptr) return Fail(ctx, UCI_ERR_INVAL);
    if (str != nullptr && ParseTuple(ptr, str) != UCI_OK) return Fail(ctx, UCI_ERR_PARSE);
    AddFlag(ptr, uci_ptr::UCI_LOOKUP_DONE);

    if (ptr->p == nullptr) {
        uci_element* e = uci_host::FindElement(&ctx->root, ptr->package);
        if (e != nullptr) {
            ptr->p = uci_to_package(e);
        } else {
            if (ptr->package == nullptr) return Fail(ctx, UCI_ERR_INVAL);
            int rc = uci_load(ctx, ptr->package, &ptr->p);
            if (rc != UCI_OK) return rc;
        }
    }
    ptr->last = &ptr->p->e;

    if (ptr->s == nullptr && ptr->section != nullptr) {
        if (ptr->flags & uci_ptr::UCI_LOOKUP_EXTENDED) {
            if (!extended) return Fail(ctx, UCI_ERR_INVAL);
            int rc = FindByTypeIndex(ptr, &ptr->s);
            if (rc != UCI_OK) return Fail(ctx, rc);
        } else if (uci_element* e = uci_host::FindElement(&ptr->p->sections, ptr->section)) {
            ptr->s = uci_to_section(e);
        }
        if (ptr->s == nullptr) return Fail(ctx, UCI_OK);
    }
    if (ptr->s != nullptr) ptr->last = &ptr->s->e;

    if (ptr->s != nullptr && ptr->o == nullptr && ptr->option != nullptr) {
        uci_element* e = uci_host::FindElement(&ptr->s->options, ptr->option);
        if (e == nullptr) return Fail(ctx, UCI_OK);
        ptr->o = uci_to_option(e);
    }
    if (ptr->o != nullptr) ptr->last = &ptr->o->e;

    AddFlag(ptr, uci_ptr::UCI_LOOKUP_COMPLETE);
    return Fail(ctx, UCI_OK);
}
