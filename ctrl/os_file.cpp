#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "wlan_os.h"

namespace {

constexpr size_t kFirstCwdRoom = 128;
constexpr int kCwdAttempts = 4;  // 128, 256, 512, 1024 bytes

// The working directory in a new buffer, or null.
char* current_directory() {
    size_t room = kFirstCwdRoom;
    for (int attempt = 0; attempt < kCwdAttempts; ++attempt, room *= 2) {
        char* buf = static_cast<char*>(malloc(room));
        if (buf == nullptr) return nullptr;
        if (getcwd(buf, room) != nullptr) return buf;
        free(buf);
        if (errno != ERANGE) return nullptr;
    }
    return nullptr;
}

// Reads fd to its end into a new buffer with a terminating zero after the data.
char* read_to_end(int fd, size_t size_hint, size_t* len) {
    size_t room = size_hint + 1 > 4096 ? size_hint + 1 : 4096;
    char* buf = static_cast<char*>(malloc(room));
    if (buf == nullptr) return nullptr;
    size_t used = 0;
    for (;;) {
        if (room - used < 2) {
            char* bigger =
                room <= SIZE_MAX / 2 ? static_cast<char*>(realloc(buf, room * 2)) : nullptr;
            if (bigger == nullptr) {
                free(buf);
                return nullptr;
            }
            buf = bigger;
            room *= 2;
        }
        const ssize_t got = read(fd, buf + used, room - used - 1);
        if (got < 0) {
            if (errno == EINTR) continue;
            free(buf);
            return nullptr;
        }
        if (got == 0) break;
        used += static_cast<size_t>(got);
    }
    buf[used] = '\0';
    *len = used;
    return buf;
}

}  // namespace

extern "C" WLAN_EXPORT char* os_rel2abs_path(const char* rel_path) {
    if (rel_path == nullptr) return nullptr;
    if (rel_path[0] == '/') return strdup(rel_path);
    char* cwd = current_directory();
    if (cwd == nullptr) return nullptr;
    const size_t cwd_len = strlen(cwd);
    const size_t rel_len = strlen(rel_path);
    char* out = static_cast<char*>(malloc(cwd_len + 1 + rel_len + 1));
    if (out != nullptr) {
        memcpy(out, cwd, cwd_len);
        out[cwd_len] = '/';
        memcpy(out + cwd_len + 1, rel_path, rel_len + 1);
    }
    free(cwd);
    return out;
}

extern "C" WLAN_EXPORT char* os_readfile(const char* name, size_t* len) {
    if (name == nullptr) return nullptr;
    // Non-blocking open: a FIFO must not stall the caller. Only regular files are read, so a
    // device such as /dev/zero cannot make the read endless. The size the file system reports
    // is only a hint: files under /proc report 0 and are still read to their end.
    const int fd = open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat st;
    char* data = nullptr;
    size_t data_len = 0;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        data = read_to_end(fd, static_cast<size_t>(st.st_size), &data_len);
    close(fd);
    if (data != nullptr && len != nullptr) *len = data_len;
    return data;
}
