#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "wlan_os.h"

extern "C" WLAN_EXPORT int os_daemonize(const char* pid_file) {
    // Detaching moves to "/", so a relative PID file path is resolved first, where the caller
    // meant it.
    char* absolute = nullptr;
    if (pid_file != nullptr && pid_file[0] != '/') absolute = os_rel2abs_path(pid_file);
    if (daemon(0, 0) != 0) {
        perror("daemon");
        free(absolute);
        return -1;
    }
    if (pid_file != nullptr) {
        FILE* f = fopen(absolute != nullptr ? absolute : pid_file, "we");
        if (f != nullptr) {
            fprintf(f, "%u\n", static_cast<unsigned>(getpid()));
            fclose(f);
        }
    }
    free(absolute);
    return 0;
}

extern "C" WLAN_EXPORT void os_daemonize_terminate(const char* pid_file) {
    if (pid_file != nullptr) unlink(pid_file);
}

extern "C" WLAN_EXPORT int os_program_init(void) { return 0; }

extern "C" WLAN_EXPORT void os_program_deinit(void) {}

extern "C" WLAN_EXPORT int os_setenv(const char* name, const char* value, int overwrite) {
    return setenv(name, value, overwrite);
}

extern "C" WLAN_EXPORT int os_unsetenv(const char* name) { return unsetenv(name); }
