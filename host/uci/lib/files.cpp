// File access of the store: locked package and delta files, atomic replacement of a package.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "uci_internal.h"

namespace uci_host {
namespace {

// A file replaced this often while we wait for its lock is being rewritten in a loop; give up.
constexpr int kMaxLockAttempts = 1000;

bool WriteFully(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string ResolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;
}

void SyncDirectory(const std::string& dir) {
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

std::string ConfigPath(const uci_context* ctx, const char* package) {
    return std::string(ctx->confdir) + "/" + package;
}

std::string DeltaPath(const uci_context* ctx, const char* package) {
    return std::string(ctx->savedir) + "/" + package;
}

LockedFile::~LockedFile() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
}

int LockedFile::Open(const std::string& path, int open_flags, int lock_op) {
    for (int attempt = 0; attempt < kMaxLockAttempts; ++attempt) {
        int fd = open(path.c_str(), open_flags | O_CLOEXEC, UCI_FILEMODE);
        if (fd < 0) return errno == ENOENT ? UCI_ERR_NOTFOUND : UCI_ERR_IO;
        int rc;
        do {
            rc = flock(fd, lock_op);
        } while (rc != 0 && errno == EINTR);
        struct stat held;
        struct stat named;
        if (rc == 0 && fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
            SameFile(held, named)) {
            fd_ = fd;
            return UCI_OK;
        }
        close(fd);
        if (rc != 0) return UCI_ERR_IO;
    }
    return UCI_ERR_IO;
}

bool LockedFile::ReadAll(std::string* out) const {
    out->clear();
    if (lseek(fd_, 0, SEEK_SET) < 0) return false;
    char buf[8192];
    while (true) {
        ssize_t n = read(fd_, buf, sizeof(buf));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out->append(buf, static_cast<size_t>(n));
    }
}

bool LockedFile::Append(const std::string& text) const { return WriteFully(fd_, text); }

bool LockedFile::Truncate() const { return ftruncate(fd_, 0) == 0; }

bool ReplaceFile(const std::string& path, const std::string& text) {
    std::string target = ResolveTarget(path);
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "." : target.substr(0, slash);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = dir + "/." + base + ".uci-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');

    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return false;
    struct stat old;
    bool ok = WriteFully(fd, text);
    if (ok && stat(target.c_str(), &old) == 0) {
        ok = fchmod(fd, old.st_mode & 07777) == 0;
        if (ok && fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Keeping the owner needs privileges we may lack; the content matters more.
        }
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(name.data(), target.c_str()) == 0) {
        SyncDirectory(dir);
        return true;
    }
    unlink(name.data());
    return false;
}

bool MakeDirectories(const std::string& path, int mode) {
    for (size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/') continue;
        std::string part = path.substr(0, pos);
        if (mkdir(part.c_str(), mode) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace uci_host
