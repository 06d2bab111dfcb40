#include <stdlib.h>
#include <string.h>

#include "wlan_os.h"

extern "C" WLAN_EXPORT void* os_zalloc(size_t size) { return calloc(1, size); }

extern "C" WLAN_EXPORT size_t os_strlcpy(char* dest, const char* src, size_t size) {
    const size_t src_len = src != nullptr ? strlen(src) : 0;
    if (size != 0 && dest != nullptr) {
        const size_t n = src_len < size - 1 ? src_len : size - 1;
        if (n != 0) memcpy(dest, src, n);
        dest[n] = '\0';
    }
    return src_len;
}
