#include "show.h"

#include <stdio.h>
#include <string.h>

namespace uci_cli {
namespace {

std::string Quoted(const char* value) {
    std::string out = "'";
    for (const char* c = value; *c; ++c) {
        if (*c == '\'') {
            out += "'\\''";
        } else {
            out.push_back(*c);
        }
    }
    return out + "'";
}

std::string SectionLabel(const uci_section* s) {
    if (!s->anonymous) return s->e.name;
    int index = 0;
    uci_element* e;
    uci_foreach_element(&s->package->sections, e) {
        if (e == &s->e) break;
        if (strcmp(uci_to_section(e)->type, s->type) == 0) ++index;
    }
    return "@" + std::string(s->type) + "[" + std::to_string(index) + "]";
}

std::string SectionPath(const uci_section* s) {
    return std::string(s->package->e.name) + "." + SectionLabel(s);
}

}  // namespace

std::string PlainValue(const uci_option* o) {
    if (o->type == UCI_TYPE_STRING) return o->v.string;
    std::string out;
    uci_element* item;
    uci_foreach_element(&o->v.list, item) {
        if (!out.empty()) out += " ";
        out += item->name;
    }
    return out;
}

void ShowOption(const uci_option* o) {
    std::string value;
    if (o->type == UCI_TYPE_STRING) {
        value = Quoted(o->v.string);
    } else {
        uci_element* item;
        uci_foreach_element(&o->v.list, item) {
            if (!value.empty()) value += " ";
            value += Quoted(item->name);
        }
    }
    printf("%s.%s=%s\n", SectionPath(o->section).c_str(), o->e.name, value.c_str());
}

void ShowSection(const uci_section* s) {
    printf("%s=%s\n", SectionPath(s).c_str(), s->type);
    uci_element* e;
    uci_foreach_element(&s->options, e) ShowOption(uci_to_option(e));
}

void ShowPackage(const uci_package* p) {
    uci_element* e;
    uci_foreach_element(&p->sections, e) ShowSection(uci_to_section(e));
}

}  // namespace uci_cli
