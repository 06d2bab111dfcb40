#include "share_wire.h"

#include <dirent.h>
#include <stdint.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

namespace ubus_standin {
namespace {

constexpr uint32_t kMaxText = 1u << 20;
constexpr uint32_t kMaxTexts = 1024;

bool WriteAll(int fd, const void* data, size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = send(fd, at, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        at += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* data, size_t size) {
    char* at = static_cast<char*>(data);
    while (size > 0) {
        ssize_t n = read(fd, at, size);
        if (n <= 0) return false;
        at += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string BusPath(const char* path) {
    return path != nullptr && path[0] != '\0' ? path : "/var/run/ubus.sock";
}

std::string PeerDir(const std::string& bus_path) { return bus_path + ".peers"; }

bool WriteTexts(int fd, const Texts& texts) {
    uint32_t count = static_cast<uint32_t>(texts.size());
    if (!WriteAll(fd, &count, sizeof(count))) return false;
    for (const std::string& text : texts) {
        uint32_t size = static_cast<uint32_t>(text.size());
        if (!WriteAll(fd, &size, sizeof(size)) || !WriteAll(fd, text.data(), text.size()))
            return false;
    }
    return true;
}

bool ReadTexts(int fd, Texts* texts) {
    uint32_t count = 0;
    if (!ReadAll(fd, &count, sizeof(count)) || count > kMaxTexts) return false;
    texts->clear();
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t size = 0;
        if (!ReadAll(fd, &size, sizeof(size)) || size > kMaxText) return false;
        std::string text(size, '\0');
        if (size > 0 && !ReadAll(fd, &text[0], size)) return false;
        texts->push_back(std::move(text));
    }
    return true;
}

int ConnectTo(const std::string& path) {
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) return -1;
    path.copy(address.sun_path, path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool Ask(const std::string& socket_path, const Texts& request, Texts* answer) {
    int fd = ConnectTo(socket_path);
    if (fd < 0) return false;
    bool ok = WriteTexts(fd, request) && ReadTexts(fd, answer);
    close(fd);
    return ok;
}

std::vector<std::string> Peers(const std::string& bus_path) {
    std::vector<std::string> peers;
    std::string dir = PeerDir(bus_path);
    DIR* folder = opendir(dir.c_str());
    if (folder == nullptr) return peers;
    const std::string self = std::to_string(getpid());
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || name == self) continue;
        peers.push_back(dir + "/" + name);
    }
    closedir(folder);
    std::sort(peers.begin(), peers.end());
    return peers;
}

}  // namespace ubus_standin
