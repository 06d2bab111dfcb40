#include "util/atomic_file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxLinkDepth = 16;

std::string directory_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes a rename in the directory durable. Best effort: the file is already replaced, and some
// file systems cannot sync a directory.
void sync_directory(const std::string& dir) {
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    if (fsync(fd) != 0) {
        // Nothing more to do: the rename itself has happened.
    }
    close(fd);
}

}  // namespace

std::string resolve_link_target(const char* path) {
    std::string current = path ? path : "";
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        char target[PATH_MAX];
        ssize_t n = readlink(current.c_str(), target, sizeof(target) - 1);
        if (n < 0) break;
        target[n] = '\0';
        if (target[0] == '/')
            current = target;
        else
            current = directory_of(current) + "/" + target;
    }
    return current;
}

bool AtomicFile::Open(const char* path) {
    Abort();
    if (path == nullptr || path[0] == '\0') return false;
    target_ = resolve_link_target(path);
    size_t slash = target_.rfind('/');
    std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    temp_ = directory_of(target_) + "/." + base + ".XXXXXX";
    int fd = mkstemp(&temp_[0]);
    if (fd < 0) {
        temp_.clear();
        return false;
    }
    struct stat st;
    mode_t mode = 0644;
    if (stat(target_.c_str(), &st) == 0) mode = st.st_mode & 07777;
    if (fchmod(fd, mode) != 0) {
        // Keep going: the content matters more than the mode.
    }
    stream_ = fdopen(fd, "w");
    if (stream_ == nullptr) {
        close(fd);
        unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    return true;
}

bool AtomicFile::Sync() {
    if (stream_ == nullptr) return !temp_.empty();  // synced before, or never opened
    bool ok = fflush(stream_) == 0 && !ferror(stream_) && fsync(fileno(stream_)) == 0;
    if (fclose(stream_) != 0) ok = false;
    stream_ = nullptr;
    if (!ok) Abort();
    return ok;
}

bool AtomicFile::Commit() {
    if (!Sync()) return false;
    bool ok = rename(temp_.c_str(), target_.c_str()) == 0;
    if (ok)
        sync_directory(directory_of(target_));
    else
        unlink(temp_.c_str());
    temp_.clear();
    return ok;
}

void AtomicFile::Abort() {
    if (stream_ != nullptr) {
        fclose(stream_);
        stream_ = nullptr;
    }
    if (!temp_.empty()) {
        unlink(temp_.c_str());
        temp_.clear();
    }
}

bool read_whole_file(const char* path, std::string* content) {
    FILE* f = fopen(path, "r");
    if (f == nullptr) return false;
    content->clear();
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) content->append(buf, n);
    fclose(f);
    return true;
}

bool replace_file(const char* path, const std::string& content) {
    AtomicFile file;
    if (!file.Open(path)) return false;
    if (!content.empty() &&
        fwrite(content.data(), 1, content.size(), file.Stream()) != content.size())
        return false;
    return file.Commit();
}
