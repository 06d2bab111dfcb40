// Writes a package in the layout of the device's files:
//   (empty line) config TYPE 'NAME' / <tab>option KEY 'VALUE' / <tab>list KEY 'VALUE' ...
#include <ctype.h>

#include "uci_internal.h"

namespace uci_host {
namespace {

// Plain types are written bare as usual; anything else is quoted so that it reads back.
std::string TypeText(const char* type) {
    for (const char* c = type; *c; ++c) {
        unsigned char u = static_cast<unsigned char>(*c);
        if (!(isalnum(u) || u == '_' || u == '-')) return QuoteValue(type);
    }
    return type;
}

}  // namespace

std::string ExportConfig(const uci_package* p) {
    std::string out;
    uci_element* se;
    uci_foreach_element(&p->sections, se) {
        const uci_section* s = uci_to_section(se);
        out += "\nconfig " + TypeText(s->type);
        if (!s->anonymous) out += " " + QuoteValue(se->name);
        out += "\n";
        uci_element* oe;
        uci_foreach_element(&s->options, oe) {
            const uci_option* o = uci_to_option(oe);
            if (o->type == UCI_TYPE_STRING) {
                out += std::string("\toption ") + oe->name + " " + QuoteValue(o->v.string) + "\n";
                continue;
            }
            uci_element* item;
            uci_foreach_element(&o->v.list, item) {
                out += std::string("\tlist ") + oe->name + " " + QuoteValue(item->name) + "\n";
            }
        }
    }
    out += "\n";
    return out;
}

}  // namespace uci_host
