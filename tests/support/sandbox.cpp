#include "tests/support/sandbox.h"

#include <dirent.h>
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

#include "tests/support/log_capture.h"

namespace fs = std::filesystem;

namespace sandbox {
namespace {

// Private scratch space for overlay layers; mounted as a tmpfs inside the namespace only.
constexpr const char* kState = "/mnt";
constexpr const char* kOldTmp = "/mnt/oldtmp";
constexpr const char* kReexecVar = "WLAN_SANDBOX_REEXEC";

bool g_available = false;
std::string g_why = "sandbox not initialised";
int g_generation = 0;
std::vector<std::string> g_kept;  // paths under /tmp that are bound back over the new tmpfs

std::string Errno(const std::string& what) { return what + ": " + strerror(errno); }

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
    int flags = CLONE_NEWNS | CLONE_NEWNET;
    if (uid != 0) flags |= CLONE_NEWUSER;
    if (unshare(flags) == 0) {
        if (uid != 0) {
            WriteProc("/proc/self/setgroups", "deny");
            if (!WriteProc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                !WriteProc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
                *why = Errno("cannot map the user to root in a user namespace");
                return false;
            }
        }
        return true;
    }
    if (errno == EINVAL && uid == 0 && access("/usr/bin/unshare", X_OK) == 0) {
        // Threads already exist (a sanitizer runtime may start one): let unshare(1) start us
        // again in the new namespaces.
        setenv(kReexecVar, "1", 1);
        std::vector<char*> args = {const_cast<char*>("unshare"), const_cast<char*>("-mn"),
                                   const_cast<char*>("--")};
        for (int i = 0; i < argc; ++i) args.push_back(argv[i]);
        args.push_back(nullptr);
        std::string self = fs::read_symlink("/proc/self/exe").string();
        args[3] = const_cast<char*>(self.c_str());
        execv("/usr/bin/unshare", args.data());
    }
    *why = Errno(uid == 0 ? "unshare(mount, network) failed"
                          : "unshare(user, mount, network) failed; run the tests as root or "
                            "enable unprivileged user namespaces");
    return false;
}

bool Mount(const char* source, const char* target, const char* type, unsigned long flags,
           const std::string& data, std::string* why) {
    if (mount(source, target, type, flags, data.empty() ? nullptr : data.c_str()) != 0) {
        *why = Errno(std::string("mount ") + target);
        return false;
    }
    return true;
}

bool UnderTmp(const std::string& path) { return path.rfind("/tmp/", 0) == 0; }

bool KeepTmpPaths(std::string* why) {
    std::set<std::string> wanted;
    for (const std::string& p : {BuildDir(), SourceDir(), SourceDir() + "/../shared"}) {
        std::error_code ec;
        fs::path canon = fs::weakly_canonical(p, ec);
        if (!ec && UnderTmp(canon.string()) && fs::exists(canon)) wanted.insert(canon.string());
    }
    if (wanted.empty()) return Mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777", why);
    mkdir(kOldTmp, 0755);
    if (!Mount("/tmp", kOldTmp, nullptr, MS_BIND | MS_REC, "", why)) return false;
    if (!Mount("tmpfs", "/tmp", "tmpfs", 0, "mode=1777", why)) return false;
    for (const std::string& p : wanted) {
        std::string old = std::string(kOldTmp) + p.substr(4);
        fs::create_directories(p);
        if (!Mount(old.c_str(), p.c_str(), nullptr, MS_BIND | MS_REC, "", why)) return false;
        g_kept.push_back(p);
    }
    return true;
}

// Everything outside the sandbox's own mounts becomes read-only in this namespace, so a faulty
// build cannot write anywhere on the machine (a relative path resolved against "/", a stray
// absolute path): /etc, /usr/bin, /var, /tmp and /run are private mounts on top of this, and
// /proc, /sys and /dev keep working. Mount flags that a user namespace may not drop are kept.
bool MakeTheRestReadOnly(std::string* why) {
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
    for (const std::string& target : targets) {
        if (under(target, "/proc") || under(target, "/sys") || under(target, "/dev") ||
            target == kState || target == "/tmp")
            continue;
        struct statvfs st;
        if (statvfs(target.c_str(), &st) != 0) continue;
        unsigned long keep = 0;
        if (st.f_flag & ST_NOSUID) keep |= MS_NOSUID;
        if (st.f_flag & ST_NODEV) keep |= MS_NODEV;
        if (st.f_flag & ST_NOEXEC) keep |= MS_NOEXEC;
        if (st.f_flag & ST_NOATIME) keep |= MS_NOATIME;
        if (st.f_flag & ST_NODIRATIME) keep |= MS_NODIRATIME;
        if (st.f_flag & ST_RELATIME) keep |= MS_RELATIME;
        if (mount(nullptr, target.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | keep,
                  nullptr) != 0 &&
            target == "/") {
            *why = Errno("cannot make / read-only");
            return false;
        }
    }
    return true;
}

void SetUpNetwork() {
    Run("ip link set lo up");
    Run(std::string("ip link add ") + kBridge + " type bridge 2>/dev/null");
    Run(std::string("ip addr add ") + kBridgeAddress + "/24 dev " + kBridge + " 2>/dev/null");
    Run("ip link add veth-ap type veth peer name veth-sta 2>/dev/null");
    Run(std::string("ip link set veth-ap master ") + kBridge + " 2>/dev/null");
    Run("ip link set veth-ap up; ip link set veth-sta up");
    Run(std::string("ip link set ") + kBridge + " up");
}

bool MountOverlay(const std::string& target, const std::string& name, std::string* why) {
    std::string layers =
        std::string(kState) + "/layers" + std::to_string(g_generation) + "/" + name;
    fs::create_directories(layers + "/upper");
    fs::create_directories(layers + "/work");
    std::string data =
        "lowerdir=" + target + ",upperdir=" + layers + "/upper,workdir=" + layers + "/work";
    return Mount("overlay", target.c_str(), "overlay", 0, data, why);
}

void ClearTmp() {
    std::set<std::string> keep_top;
    for (const std::string& p : g_kept) {
        size_t slash = p.find('/', 5);
        keep_top.insert(p.substr(0, slash));
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/tmp", ec)) {
        if (keep_top.count(entry.path().string())) continue;
        fs::remove_all(entry.path(), ec);
    }
}

void InstallHostPrograms() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(HostBinDir(), ec)) {
        std::string target = "/usr/bin/" + entry.path().filename().string();
        unlink(target.c_str());
        fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, ec);
        chmod(target.c_str(), 0755);
    }
}

}  // namespace

std::string HostBinDir() { return WLANMGR_HOST_BIN_DIR; }
std::string BuildDir() { return WLANMGR_BINARY_DIR; }
std::string SourceDir() { return WLANMGR_SOURCE_DIR; }

void Init(int argc, char** argv) {
    std::string why;
    if (!EnterNamespaces(argc, argv, &why)) {
        g_why = why;
        return;
    }
    if (!Mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, "", &why) ||
        !Mount("tmpfs", kState, "tmpfs", 0, "mode=0755", &why) || !KeepTmpPaths(&why) ||
        !MakeTheRestReadOnly(&why)) {
        g_why = why;
        return;
    }
    setenv("PATH", "/usr/bin:/bin:/usr/sbin:/sbin", 1);
    g_available = true;
    Reset();
    if (!g_available) return;
    SetUpNetwork();
}

bool Available() { return g_available; }
const std::string& Why() { return g_why; }

void Reset() {
    if (!g_available) return;
    std::string why;
    if (g_generation > 0) {
        for (const char* t : {"/etc", "/usr/bin", "/var", "/run"}) umount2(t, MNT_DETACH);
        std::error_code ec;
        fs::remove_all(std::string(kState) + "/layers" + std::to_string(g_generation), ec);
    }
    ++g_generation;
    if (!MountOverlay("/etc", "etc", &why) || !MountOverlay("/usr/bin", "usrbin", &why) ||
        !MountOverlay("/var", "var", &why) ||
        !Mount("tmpfs", "/run", "tmpfs", 0, "mode=0755", &why)) {
        g_available = false;
        g_why = why;
        return;
    }
    ClearTmp();
    InstallHostPrograms();
    std::error_code ec;
    fs::create_directories("/etc/config", ec);
    fs::create_directories("/etc/default_config", ec);
    fs::create_directories("/var/lib/misc", ec);
    if (g_generation > 1)
        Run(std::string("ip neigh flush dev ") + kBridge + " nud all >/dev/null 2>&1");
}

void WriteFile(const std::string& path, const std::string& content) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
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
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::string Output(const std::string& command_line) {
    std::string out;
    FILE* p = popen(command_line.c_str(), "r");
    if (p == nullptr) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

}  // namespace sandbox

void SandboxTest::SetUp() {
    WLAN_REQUIRE_SANDBOX();
    sandbox::Reset();
    WLAN_REQUIRE_SANDBOX();
    logcap::Clear();
}
