#include <string.h>

#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"
#include "wlan_config.h"

extern "C" WLAN_EXPORT void read_uci(const char* command, char* buffer, int size,
                                     const char* default_value) {
    if (buffer == nullptr || size <= 0) return;
    size_t capacity = static_cast<size_t>(size);
    WLAN_TRACE("%s", command != nullptr ? command : "");
    ShellPipe pipe(command);
    if (!pipe.IsOpen()) {
        WLAN_LOG5("popen fail, use defaut value");
        copy_text(buffer, capacity, default_value);
        return;
    }
    size_t count = pipe.Read(buffer, capacity);
    pipe.Close();
    if (count == 0) {
        // uci prints nothing on standard output for a missing entry.
        WLAN_LOG5("uci get fail, use defaut value");
        copy_text(buffer, capacity, default_value);
    } else {
        char* newline = static_cast<char*>(memchr(buffer, '\n', count));
        if (newline != nullptr)
            *newline = '\0';
        else
            buffer[count] = '\0';
    }
    WLAN_TRACE("uci get success : %s", buffer);
}

extern "C" WLAN_EXPORT int is_export_product(void) {
    char region[128];
    read_uci("uci get product.info.product_region", region, sizeof(region), "UN");
    return strcmp(region, "CN") == 0 ? 0 : 1;
}
