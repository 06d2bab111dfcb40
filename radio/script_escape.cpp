#include "radio/script_escape.h"

#include <string.h>

#include "wlan_radio.h"

namespace {

bool needs_backslash(char c) { return c == '\\' || c == '"' || c == '`' || c == '$'; }

}  // namespace

bool escape_script_text(const char* text, char (&out)[kEscapedTextSize]) {
    out[0] = '\0';
    if (text == nullptr) return true;
    size_t escaped_length = 0;
    for (const char* p = text; *p != '\0'; ++p) escaped_length += needs_backslash(*p) ? 2 : 1;
    if (escaped_length >= kEscapedTextSize) return false;

    // Every pass result is no longer than the final text, so each fits.
    char first[kEscapedTextSize];
    char second[kEscapedTextSize];
    strrpl(first, text, "\\", "\\\\");
    strrpl(second, first, "\"", "\\\"");
    strrpl(first, second, "`", "\\`");
    // sh still expands $ between double quotes; the backslash added here is not doubled again.
    strrpl(out, first, "$", "\\$");
    return true;
}
