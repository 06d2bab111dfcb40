#include "util/shell.h"

#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>

#include "util/log.h"

namespace {
constexpr size_t kCommandSize = 1024;
}

int shell_status(const char* command_line) {
    if (command_line == nullptr) return -1;
    return system(command_line);
}

bool shell_status_ok(int status) {
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool shell_run(const char* command_line) { return shell_status_ok(shell_status(command_line)); }

bool shell_runf(const char* format, ...) {
    char command[kCommandSize];
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(command, sizeof(command), format, ap);
    va_end(ap);
    if (n < 0 || static_cast<size_t>(n) >= sizeof(command)) {
        WLAN_LOG5("command too long, not run");
        return false;
    }
    return shell_run(command);
}

std::string shell_quote(const char* text) {
    std::string quoted = "'";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\'')
            quoted += "'\\''";
        else
            quoted += *p;
    }
    quoted += '\'';
    return quoted;
}

bool format_bounded(char* buffer, size_t size, const char* format, ...) {
    if (size == 0) return false;
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(buffer, size, format, ap);
    va_end(ap);
    if (n < 0) {
        buffer[0] = '\0';
        return false;
    }
    return static_cast<size_t>(n) < size;
}

bool ShellPipe::Open(const char* command_line) {
    Close();
    if (command_line == nullptr) return false;
    stream_ = popen(command_line, "r");
    return stream_ != nullptr;
}

bool ShellPipe::ReadLine(char* buffer, size_t size) {
    if (stream_ == nullptr || size < 2) return false;
    return fgets(buffer, static_cast<int>(size), stream_) != nullptr;
}

bool ShellPipe::ReadWholeLine(char* buffer, size_t size) {
    if (!ReadLine(buffer, size)) return false;
    size_t len = strlen(buffer);
    if (len > 0 && buffer[len - 1] == '\n') {
        buffer[len - 1] = '\0';
        return true;
    }
    // Over-long line: drop the rest of it.
    int c;
    while ((c = fgetc(stream_)) != EOF && c != '\n') {
    }
    return true;
}

size_t ShellPipe::Read(char* buffer, size_t size) {
    if (stream_ == nullptr || size < 2) return 0;
    return fread(buffer, 1, size - 1, stream_);
}

int ShellPipe::Close() {
    if (stream_ == nullptr) return -1;
    int status = pclose(stream_);
    stream_ = nullptr;
    return status;
}
