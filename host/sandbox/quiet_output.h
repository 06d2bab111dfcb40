#ifndef WLAN_HOST_QUIET_OUTPUT_H
#define WLAN_HOST_QUIET_OUTPUT_H

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

// For the measurement programs: returns a line-buffered stream on the program's own standard
// output and sends everything else written to descriptors 1 and 2 (the library's log, the
// radio scripts' output) to /dev/null.
inline FILE* quiet_output() {
    FILE* out = fdopen(dup(1), "w");
    setvbuf(out, nullptr, _IOLBF, 0);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    close(null);
    return out;
}

#endif
