#include <stdio.h>
#include <stdlib.h>

#include "util/device_paths.h"
#include "wlan_os.h"

extern "C" WLAN_EXPORT int os_get_random(unsigned char* buf, size_t len) {
    FILE* f = fopen(kRandomDevicePath, "rbe");
    if (f == nullptr) {
        printf("Could not open %s.\n", kRandomDevicePath);
        return -1;
    }
    const size_t got = buf != nullptr ? fread(buf, 1, len, f) : 0;
    fclose(f);
    return got == len ? 0 : -1;
}

extern "C" WLAN_EXPORT unsigned long os_random(void) {
    return static_cast<unsigned long>(random());
}
