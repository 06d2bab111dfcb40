// Changing a package in memory; every change is also recorded for uci_save.
#include <string.h>

#include "uci_internal.h"

using uci_host::Fail;

namespace {

// Looks the pointer up first when the caller filled it in by hand.
int Expand(uci_context* ctx, uci_ptr* ptr) {
    if (ptr->flags & uci_ptr::UCI_LOOKUP_DONE) return UCI_OK;
    return uci_lookup_ptr(ctx, ptr, nullptr, true);
}

int Record(uci_context* ctx, uci_ptr* ptr, uci_command cmd, const char* section, const char* option,
           const char* value) {
    if (ptr->p->has_delta && !uci_host::AddDelta(ptr->p, cmd, section, option, value))
        return Fail(ctx, UCI_ERR_MEM);
    return Fail(ctx, UCI_OK);
}

int SetOptionValue(uci_context* ctx, uci_ptr* ptr) {
    uci_option* o = ptr->o;
    if (o != nullptr && o->type == UCI_TYPE_STRING && strcmp(o->v.string, ptr->value) == 0) {
        ptr->last = &o->e;
        return Fail(ctx, UCI_OK);
    }
    if (!uci_host::ValidName(ptr->option)) return Fail(ctx, UCI_ERR_INVAL);
    o = uci_host::SetOption(ptr->s, ptr->option, ptr->value);
    if (o == nullptr) return Fail(ctx, UCI_ERR_MEM);
    ptr->o = o;
    ptr->last = &o->e;
    return Record(ctx, ptr, UCI_CMD_CHANGE, ptr->s->e.name, ptr->option, ptr->value);
}

int SetSection(uci_context* ctx, uci_ptr* ptr) {
    uci_section* s = ptr->s;
    if (s == nullptr) {
        if (!uci_host::ValidName(ptr->section)) return Fail(ctx, UCI_ERR_INVAL);
        s = uci_host::AddSection(ptr->p, ptr->value, ptr->section);
        if (s == nullptr) return Fail(ctx, UCI_ERR_MEM);
        ptr->s = s;
    } else if (strcmp(s->type, ptr->value) == 0) {
        ptr->last = &s->e;
        return Fail(ctx, UCI_OK);
    } else if (!uci_host::SetSectionType(s, ptr->value)) {
        return Fail(ctx, UCI_ERR_MEM);
    }
    ptr->last = &s->e;
    return Record(ctx, ptr, UCI_CMD_CHANGE, s->e.name, nullptr, ptr->value);
}

}  // namespace

UCI_PUBLIC int uci_set(uci_context* ctx, uci_ptr* ptr) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (ptr == nullptr || ptr->value == nullptr) return Fail(ctx, UCI_ERR_INVAL);
    int rc = Expand(ctx, ptr);
    if (rc != UCI_OK) return rc;
    if (ptr->p == nullptr || !uci_validate_text(ptr->value)) return Fail(ctx, UCI_ERR_INVAL);
    // An option can only be set in a section that exists.
    bool section_only = ptr->option == nullptr && ptr->section != nullptr;
    if (ptr->s == nullptr && !section_only) return Fail(ctx, UCI_ERR_INVAL);
    if (ptr->option == nullptr && ptr->value[0] != '\0' && !uci_host::ValidType(ptr->value))
        return Fail(ctx, UCI_ERR_INVAL);
    if (ptr->option != nullptr && ptr->o == nullptr) {
        uci_element* e = uci_host::FindElement(&ptr->s->options, ptr->option);
        if (e != nullptr) ptr->o = uci_to_option(e);
    }

    if (ptr->value[0] == '\0') {
        bool exists = ptr->option != nullptr ? ptr->o != nullptr : ptr->s != nullptr;
        return exists ? uci_delete(ctx, ptr) : Fail(ctx, UCI_OK);
    }
    return ptr->option != nullptr ? SetOptionValue(ctx, ptr) : SetSection(ctx, ptr);
}

UCI_PUBLIC int uci_delete(uci_context* ctx, uci_ptr* ptr) {
    if (ctx == nullptr) return UCI_ERR_INVAL;
    if (ptr == nullptr) return Fail(ctx, UCI_ERR_INVAL);
    int rc = Expand(ctx, ptr);
    if (rc != UCI_OK) return rc;
    if (ptr->p == nullptr || ptr->s == nullptr) return Fail(ctx, UCI_ERR_NOTFOUND);
    if (ptr->option != nullptr && ptr->o == nullptr) {
        uci_element* e = uci_host::FindElement(&ptr->s->options, ptr->option);
        if (e == nullptr) return Fail(ctx, UCI_ERR_NOTFOUND);
        ptr->o = uci_to_option(e);
    }
    std::string section = ptr->s->e.name;
    if (ptr->o != nullptr) {
        std::string option = ptr->o->e.name;
        uci_host::RemoveOption(ptr->o);
        ptr->o = nullptr;
        ptr->last = &ptr->s->e;
        return Record(ctx, ptr, UCI_CMD_REMOVE, section.c_str(), option.c_str(), nullptr);
    }
    uci_host::RemoveSection(ptr->s);
    ptr->s = nullptr;
    ptr->last = &ptr->p->e;
    return Record(ctx, ptr, UCI_CMD_REMOVE, section.c_str(), nullptr, nullptr);
}
