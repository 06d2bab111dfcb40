#include <string.h>

#include "util/log.h"
#include "wlan_radio.h"

extern "C" WLAN_EXPORT char* strrpl(char* dst, const char* src, const char* from, const char* to) {
    if (dst == nullptr || src == nullptr || from == nullptr || to == nullptr) {
        WLAN_LOG5("string replace error(string NULL)!");
        return nullptr;
    }
    size_t from_length = strlen(from);
    size_t to_length = strlen(to);
    char* out = dst;
    const char* rest = src;
    // An empty pattern matches nothing (scanning for it would never advance).
    if (from_length != 0) {
        for (const char* hit = strstr(rest, from); hit != nullptr; hit = strstr(rest, from)) {
            size_t before = static_cast<size_t>(hit - rest);
            memmove(out, rest, before);
            out += before;
            memcpy(out, to, to_length);
            out += to_length;
            rest = hit + from_length;
        }
    }
    memmove(out, rest, strlen(rest) + 1);
    return dst;
}
