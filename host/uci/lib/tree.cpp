// The in-memory element tree: packages, sections, options and pending changes.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "uci_internal.h"

namespace uci_host {
namespace {

template <typename T>
T* NewElement(uci_type type, const char* name) {
    T* item = static_cast<T*>(calloc(1, sizeof(T)));
    if (item == nullptr) return nullptr;
    ListInit(&item->e.list);
    item->e.type = type;
    if (name != nullptr) {
        item->e.name = strdup(name);
        if (item->e.name == nullptr) {
            free(item);
            return nullptr;
        }
    }
    return item;
}

uci_element* NewItem(const char* value) {
    uci_element* item = static_cast<uci_element*>(calloc(1, sizeof(uci_element)));
    if (item == nullptr) return nullptr;
    item->type = UCI_TYPE_ITEM;
    item->name = strdup(value);
    if (item->name == nullptr) {
        free(item);
        return nullptr;
    }
    ListInit(&item->list);
    return item;
}

void FreeItems(uci_list* head) {
    uci_element* e;
    uci_element* tmp;
    uci_foreach_element_safe(head, tmp, e) {
        ListUnlink(&e->list);
        free(e->name);
        free(e);
    }
}

// Drops the option's value, leaving it empty and of string type.
void ClearValue(uci_option* o) {
    if (o->type == UCI_TYPE_LIST) {
        FreeItems(&o->v.list);
    } else {
        free(o->v.string);
    }
    o->type = UCI_TYPE_STRING;
    o->v.string = nullptr;
}

uci_option* NewOption(uci_section* s, const char* name) {
    uci_option* o = NewElement<uci_option>(UCI_TYPE_OPTION, name);
    if (o == nullptr) return nullptr;
    o->section = s;
    o->type = UCI_TYPE_STRING;
    ListAppend(&s->options, &o->e.list);
    return o;
}

// Names of anonymous sections look like the device's ("cfg" and six hex digits).
bool AnonymousName(uci_package* p, const char* type, char* out, size_t size) {
    unsigned hash = 5381;
    for (const char* c = type; *c; ++c) hash = hash * 33 + static_cast<unsigned char>(*c);
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        ++p->n_section;
        snprintf(out, size, "cfg%02x%04x", p->n_section & 0xff, (hash + attempt) & 0xffff);
        if (FindElement(&p->sections, out) == nullptr) return true;
    }
    return false;
}

}  // namespace

int Fail(uci_context* ctx, int err) {
    if (ctx != nullptr) ctx->err = err;
    return err;
}

void ListInit(uci_list* head) { head->next = head->prev = head; }

void ListAppend(uci_list* head, uci_list* item) {
    item->prev = head->prev;
    item->next = head;
    head->prev->next = item;
    head->prev = item;
}

void ListUnlink(uci_list* item) {
    item->prev->next = item->next;
    item->next->prev = item->prev;
    ListInit(item);
}

uci_element* FindElement(uci_list* head, const char* name) {
    if (name == nullptr) return nullptr;
    uci_element* e;
    uci_foreach_element(head, e) {
        if (e->name != nullptr && strcmp(e->name, name) == 0) return e;
    }
    return nullptr;
}

uci_package* NewPackage(const char* name) {
    uci_package* p = NewElement<uci_package>(UCI_TYPE_PACKAGE, name);
    if (p == nullptr) return nullptr;
    ListInit(&p->sections);
    ListInit(&p->delta);
    ListInit(&p->saved_delta);
    return p;
}

uci_section* AddSection(uci_package* p, const char* type, const char* name) {
    char generated[16];
    bool anonymous = name == nullptr;
    if (anonymous) {
        if (!AnonymousName(p, type, generated, sizeof(generated))) return nullptr;
        name = generated;
    }
    uci_section* s = NewElement<uci_section>(UCI_TYPE_SECTION, name);
    if (s == nullptr) return nullptr;
    s->type = strdup(type);
    if (s->type == nullptr) {
        free(s->e.name);
        free(s);
        return nullptr;
    }
    ListInit(&s->options);
    s->package = p;
    s->anonymous = anonymous;
    ListAppend(&p->sections, &s->e.list);
    return s;
}

bool SetSectionType(uci_section* s, const char* type) {
    char* copy = strdup(type);
    if (copy == nullptr) return false;
    free(s->type);
    s->type = copy;
    return true;
}

uci_option* SetOption(uci_section* s, const char* name, const char* value) {
    char* copy = strdup(value);
    if (copy == nullptr) return nullptr;
    uci_element* e = FindElement(&s->options, name);
    uci_option* o = e != nullptr ? uci_to_option(e) : NewOption(s, name);
    if (o == nullptr) {
        free(copy);
        return nullptr;
    }
    ClearValue(o);
    o->v.string = copy;
    return o;
}

uci_option* AddListValue(uci_section* s, const char* name, const char* value) {
    uci_element* e = FindElement(&s->options, name);
    uci_option* o = e != nullptr ? uci_to_option(e) : NewOption(s, name);
    if (o == nullptr) return nullptr;
    if (o->type == UCI_TYPE_STRING) {
        char* old = o->v.string;
        ListInit(&o->v.list);
        o->type = UCI_TYPE_LIST;
        if (old != nullptr) {
            uci_element* first = NewItem(old);
            free(old);
            if (first == nullptr) return nullptr;
            ListAppend(&o->v.list, &first->list);
        }
    }
    uci_element* item = NewItem(value);
    if (item == nullptr) return nullptr;
    ListAppend(&o->v.list, &item->list);
    return o;
}

void RemoveOption(uci_option* o) {
    ListUnlink(&o->e.list);
    ClearValue(o);
    free(o->e.name);
    free(o);
}

void RemoveSection(uci_section* s) {
    uci_element* e;
    uci_element* tmp;
    uci_foreach_element_safe(&s->options, tmp, e) RemoveOption(uci_to_option(e));
    ListUnlink(&s->e.list);
    free(s->type);
    free(s->e.name);
    free(s);
}

void FreePackage(uci_package* p) {
    if (p == nullptr) return;
    uci_element* e;
    uci_element* tmp;
    uci_foreach_element_safe(&p->sections, tmp, e) RemoveSection(uci_to_section(e));
    ClearDeltas(p);
    ListUnlink(&p->e.list);
    free(p->path);
    free(p->e.name);
    free(p);
}

bool AddDelta(uci_package* p, uci_command cmd, const char* section, const char* option,
              const char* value) {
    uci_delta* d = NewElement<uci_delta>(UCI_TYPE_DELTA, option);
    if (d == nullptr) return false;
    d->cmd = cmd;
    d->section = strdup(section);
    d->value = value != nullptr ? strdup(value) : nullptr;
    if (d->section == nullptr || (value != nullptr && d->value == nullptr)) {
        free(d->section);
        free(d->value);
        free(d->e.name);
        free(d);
        return false;
    }
    ListAppend(&p->delta, &d->e.list);
    return true;
}

void ClearDeltas(uci_package* p) {
    uci_element* e;
    uci_element* tmp;
    uci_foreach_element_safe(&p->delta, tmp, e) {
        uci_delta* d = uci_to_delta(e);
        ListUnlink(&e->list);
        free(d->section);
        free(d->value);
        free(e->name);
        free(d);
    }
}

}  // namespace uci_host
