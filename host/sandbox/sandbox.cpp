#include "host/sandbox/sandbox.h"

#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace sandbox {
namespace {

// Private scratch space for overlay layers; mounted as a tmpfs inside the namespace only.
constexpr const char* kState = "/mnt";
constexpr const char* kOldTmp = "/mnt/oldtmp";
constexpr const char* kReexecVar = "WLAN_SANDBOX_REEXEC";
// A directory that stays writable inside the sandbox (the fuzzers' corpus and crash files).
constexpr const char* kWritableVar = "WLAN_SANDBOX_WRITABLE";

bool g_available = false;
std::string g_why = "sandbox not initialised";
int g_generation = 0;
std::set<std::string> g_kept;  // top directories in /tmp of the paths bound back over the tmpfs

bool Fail(std::string* why, const std::string& what) {
    *why = what + ": " + strerror(errno);
    return false;
}

bool WriteProc(const char* path, const std::string& text) {
    int fd = open(path, O_WRONLY);
    if (fd < 0) return false;
    bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return ok;
}

bool EnterNamespaces(int argc, char** argv, std::string* why) {
    if (getenv(kReexecVar) != nullptr) return true;  // started by unshare(1) already
    uid_t uid = geteuid();
    gid_t gid = getegid();
    if (unshare(CLONE_NEWNS | CLONE_NEWNET | (uid != 0 ? CLONE_NEWUSER : 0)) == 0) {
        if (uid == 0) return true;
        WriteProc("/proc/self/setgroups", "deny");
        if (WriteProc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
            WriteProc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return true;
        return Fail(why, "cannot map the user to root in a user namespace");
    }
    if (errno == EINVAL && uid == 0 && access("/usr/bin/unshare", X_OK) == 0) {
        // Threads already exist (a sanitizer runtime may start one): let unshare(1) start us
        // again in the new namespaces.
        setenv(kReexecVar, "1", 1);
        std::string self = fs::read_symlink("/proc/self/exe").string();
        std::vector<char*> args = {const_cast<char*>("unshare"), const_cast<char*>("-mn"),
                                   const_cast<char*>("--"), const_cast<char*>(self.c_str())};
        for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
        args.push_back(nullptr);
        execv("/usr/bin/unshare", args.data());
    }
    return Fail(why, uid == 0 ? "unshare(mount, network) failed"
                              : "unshare(user, mount, network) failed; run the tests as root or "
                                "enable unprivileged user namespaces");
}

bool Mount(const char* source, const char* target, const char* type, unsigned long flags,
           const std::string& data, std::string* why) {
    if (mount(source, target, type, flags, data.empty() ? nullptr : data.c_str()) == 0) return true;
    return Fail(why, std::string("mount ") + target);
}

// The writable directory named by WLAN_SANDBOX_WRITABLE, canonical; empty when none is named.
std::string WritableDir() {
    const char* dir = getenv(kWritableVar);
    std::error_code ec;
    return dir == nullptr || dir[0] == '\0' ? "" : fs::weakly_canonical(dir, ec).string();
}

// A fresh tmpfs on /tmp, with the build, the sources, ../shared and the writable directory bound
// back when under /tmp.
bool KeepTmpPaths(std::string* why) {
    std::set<std::string> wanted;
    for (const std::string& p :
         {BuildDir(), SourceDir(), SourceDir() + "/../shared", WritableDir()}) {
        std::error_code ec;
        std::string canon = fs::weakly_canonical(p, ec).string();
        if (!ec && canon.rfind("/tmp/", 0) == 0 && fs::exists(canon)) wanted.insert(canon);
    }
    if (wanted.empty()) return Mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777", why);
    mkdir(kOldTmp, 0755);
    if (!Mount("/tmp", kOldTmp, nullptr, MS_BIND | MS_REC, "", why) ||
        !Mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777", why))
        return false;
    for (const std::string& p : wanted) {
        std::string old = std::string(kOldTmp) + p.substr(4);
        fs::create_directories(p);
        if (!Mount(old.c_str(), p.c_str(), nullptr, MS_BIND | MS_REC, "", why)) return false;
        g_kept.insert(p.substr(0, p.find('/', 5)));
    }
    return true;
}

// Everything outside the sandbox's own mounts becomes read-only in this namespace, so a faulty
// build cannot write anywhere on the machine (a relative path resolved against "/", a stray
// absolute path): /etc, /usr/bin, /var, /tmp and /run are private mounts on top of this, and
// /proc, /sys and /dev keep working, and so does the writable directory when one is named. Mount
// flags that a user namespace may not drop are kept.
bool MakeTheRestReadOnly(std::string* why) {
    const std::string writable = WritableDir();
    if (!writable.empty() &&
        !Mount(writable.c_str(), writable.c_str(), nullptr, MS_BIND | MS_REC, "", why))
        return false;
    std::ifstream mounts("/proc/self/mountinfo");
    std::vector<std::string> targets;
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string id, parent, devno, root, target;
        fields >> id >> parent >> devno >> root >> target;
        targets.push_back(target);
    }
    auto under = [](const std::string& path, const std::string& top) {
        return path == top || path.rfind(top + "/", 0) == 0;
    };
    const std::pair<unsigned long, unsigned long> kKept[] = {
        {ST_NOSUID, MS_NOSUID},   {ST_NODEV, MS_NODEV},           {ST_NOEXEC, MS_NOEXEC},
        {ST_NOATIME, MS_NOATIME}, {ST_NODIRATIME, MS_NODIRATIME}, {ST_RELATIME, MS_RELATIME}};
    for (const std::string& target : targets) {
        struct statvfs st;
        if (under(target, "/proc") || under(target, "/sys") || under(target, "/dev") ||
            target == kState || target == "/tmp" || target == writable ||
            statvfs(target.c_str(), &st) != 0)
            continue;
        unsigned long keep = 0;
        for (const auto& flag : kKept)
            if (st.f_flag & flag.first) keep |= flag.second;
        if (mount(nullptr, target.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | keep,
                  nullptr) != 0 &&
            target == "/")
            return Fail(why, "cannot make / read-only");
    }
    return true;
}

}  // namespace

std::string BuildDir() { return WLANMGR_BINARY_DIR; }
std::string SourceDir() { return WLANMGR_SOURCE_DIR; }

void Init(int argc, char** argv) {
    if (!EnterNamespaces(argc, argv, &g_why)) return;
    if (!Mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, "", &g_why) ||
        !Mount("tmpfs", kState, "tmpfs", 0, "mode=0755", &g_why) || !KeepTmpPaths(&g_why) ||
        !MakeTheRestReadOnly(&g_why))
        return;
    setenv("PATH", "/usr/bin:/bin:/usr/sbin:/sbin", 1);
    g_available = true;
    Reset();
    if (!g_available) return;
    // The AP's bridge, with a veth pair on it.
    Run(std::string("ip link set lo up; ip link add ") + kBridge + " type bridge 2>/dev/null; " +
        "ip addr add 192.0.2.1/24 dev " + kBridge + " 2>/dev/null; " +
        "ip link add veth-ap type veth peer name veth-sta 2>/dev/null; " +
        "ip link set veth-ap master " + kBridge + " 2>/dev/null; " +
        "ip link set veth-ap up; ip link set veth-sta up; ip link set " + kBridge + " up");
}

bool Available() { return g_available; }
const std::string& Why() { return g_why; }

void Reset() {
    if (!g_available) return;
    if (g_generation > 0) {
        for (const char* t : {"/etc", "/usr/bin", "/var", "/run"}) umount2(t, MNT_DETACH);
        std::error_code ec;
        fs::remove_all(std::string(kState) + "/layers" + std::to_string(g_generation), ec);
    }
    ++g_generation;
    std::string layers = std::string(kState) + "/layers" + std::to_string(g_generation);
    for (std::string target : {"/etc", "/usr/bin", "/var"}) {
        std::string layer = layers + target;
        fs::create_directories(layer + "/upper");
        fs::create_directories(layer + "/work");
        g_available =
            Mount("overlay", target.c_str(), "overlay", 0,
                  "lowerdir=" + target + ",upperdir=" + layer + "/upper,workdir=" + layer + "/work",
                  &g_why);
        if (!g_available) return;
    }
    g_available = Mount("tmpfs", "/run", "tmpfs", 0, "mode=0755", &g_why);
    if (!g_available) return;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/tmp", ec))
        if (!g_kept.count(entry.path().string())) fs::remove_all(entry.path(), ec);
    for (const auto& entry : fs::directory_iterator(WLANMGR_HOST_BIN_DIR, ec)) {
        std::string target = "/usr/bin/" + entry.path().filename().string();
        unlink(target.c_str());
        fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, ec);
        chmod(target.c_str(), 0755);
    }
    for (const char* dir : {"/etc/config", "/etc/default_config", "/var/lib/misc"})
        fs::create_directories(dir, ec);
    if (g_generation > 1)
        Run(std::string("ip neigh flush dev ") + kBridge + " nud all >/dev/null 2>&1");
}

void WriteFile(const std::string& path, const std::string& content) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

int Run(const std::string& command_line) {
    int status = system(command_line.c_str());
    return status == -1 || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}

std::string Output(const std::string& command_line) {
    std::string out;
    FILE* p = popen(command_line.c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof(buf), p)) > 0;) out.append(buf, n);
    pclose(p);
    return out;
}

}  // namespace sandbox
