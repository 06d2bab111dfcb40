#include "core/state_store.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/paths.h"

namespace sim {
namespace {

std::string ErrnoText(const std::string& what) { return what + ": " + strerror(errno); }

bool EnsureStateDir(std::string* error) {
    if (mkdir(kStateDir, 0755) == 0 || errno == EEXIST) return true;
    *error = ErrnoText(std::string("cannot create ") + kStateDir);
    return false;
}

bool WriteAll(int fd, const std::string& content) {
    size_t done = 0;
    while (done < content.size()) {
        ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool NeedsQuotes(const std::string& word) {
    if (word.empty()) return true;
    for (char c : word)
        if (strchr(" \t\n\r'\"\\$`;&|<>()*?[]{}#~!", c) != nullptr) return true;
    return false;
}

}  // namespace

StateLock::~StateLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the flock
}

bool StateLock::Acquire(std::string* error) {
    if (!EnsureStateDir(error)) return false;
    fd_ = open(kLockFile, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        *error = ErrnoText(std::string("cannot open ") + kLockFile);
        return false;
    }
    while (flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        *error = ErrnoText(std::string("cannot lock ") + kLockFile);
        return false;
    }
    return true;
}

bool LoadState(RadioState* state, std::string* error) {
    std::string text;
    if (!ReadWholeFile(kStateFile, &text)) {
        if (errno != ENOENT) {
            *error = ErrnoText(std::string("cannot read ") + kStateFile);
            return false;
        }
        text.clear();
    }
    *state = RadioState::Parse(text);
    return true;
}

bool SaveState(const RadioState& state, std::string* error) {
    return ReplaceStateFile(kStateFile, state.Serialize(), error);
}

bool ReplaceStateFile(const char* path, const std::string& content, std::string* error) {
    if (!EnsureStateDir(error)) return false;
    std::string temp = std::string(path) + ".tmp";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = ErrnoText("cannot create " + temp);
        return false;
    }
    bool ok = WriteAll(fd, content);
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path) != 0) {
        *error = ErrnoText(std::string("cannot write ") + path);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* content) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof(buffer))) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int saved = errno;
            close(fd);
            errno = saved;
            return false;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    *content = std::move(text);
    return true;
}

bool AppendLine(const std::string& path, const std::string& line) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, line + "\n");
    return close(fd) == 0 && ok;
}

std::string QuoteArguments(const std::vector<std::string>& args) {
    std::string out;
    for (const std::string& word : args) {
        if (!out.empty()) out += ' ';
        if (!NeedsQuotes(word)) {
            out += word;
            continue;
        }
        out += '\'';
        for (char c : word) {
            if (c == '\'')
                out += "'\\''";
            else if (c == '\n')
                out += "\\n";  // keeps the log one line per call
            else
                out += c;
        }
        out += '\'';
    }
    return out;
}

}  // namespace sim
