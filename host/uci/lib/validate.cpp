// What the store accepts as package, section and option names, section types and values.
#include <ctype.h>

#include "uci_internal.h"

namespace uci_host {
namespace {

bool AllChars(const char* s, bool (*accept)(unsigned char)) {
    if (s == nullptr || *s == '\0') return false;
    for (; *s; ++s) {
        if (!accept(static_cast<unsigned char>(*s))) return false;
    }
    return true;
}

bool NameChar(unsigned char c) { return isalnum(c) || c == '_'; }
bool PackageChar(unsigned char c) { return NameChar(c) || c == '-'; }
bool TypeChar(unsigned char c) { return c > ' ' && c < 127; }

}  // namespace

bool ValidPackageName(const char* s) { return AllChars(s, PackageChar); }
bool ValidName(const char* s) { return AllChars(s, NameChar); }
bool ValidType(const char* s) { return AllChars(s, TypeChar); }

}  // namespace uci_host

// Values are stored on one line of a package or delta file: control characters other than tab
// (a line break above all) would split a value into lines of someone else's choosing.
UCI_PUBLIC bool uci_validate_text(const char* str) {
    if (str == nullptr) return false;
    for (; *str; ++str) {
        unsigned char c = static_cast<unsigned char>(*str);
        if (c < ' ' && c != '\t') return false;
        if (c == 127) return false;
    }
    return true;
}
