#include "tests/fuzz/support.h"

#include <android/log.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include "tests/support/sandbox.h"

namespace fuzz {

void QuietLog() {
    __android_log_set_logger([](const struct __android_logger_data*, const char*) {});
}

void EnterSandbox(int* argc, char*** argv) {
    QuietLog();
    sandbox::Init(*argc, *argv);
    if (sandbox::Available()) return;
    fprintf(stderr, "sandbox unavailable: %s\n", sandbox::Why().c_str());
    exit(77);
}

void Put(const char* path, std::string_view bytes) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) abort();  // the sandbox is broken: no input could be tried
    bool ok = bytes.empty() ||
              write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    if (!ok) abort();
}

std::vector<std::string> Parts(const uint8_t* data, size_t size, size_t n) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    size_t start = 0;
    while (parts.size() + 1 < n) {
        size_t mark = text.find("\n--\n", start);
        if (mark == std::string::npos) break;
        parts.push_back(text.substr(start, mark + 1 - start));
        start = mark + 4;
    }
    parts.push_back(text.substr(start));
    parts.resize(n);
    return parts;
}

}  // namespace fuzz
