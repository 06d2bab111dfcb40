// The bus daemon of the host platform: `ubusd [-s SOCKET]` (default /var/run/ubus.sock). It
// makes the bus shared between processes: while it listens on SOCKET, every process that
// connects there serves its objects and events to the others through its own socket in
// SOCKET.peers/ (see lib/share.h), and the `ubus` command reaches them. SIGTERM or SIGINT
// removes the socket and ends it with status 0.
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>

#include "../lib/share_wire.h"

namespace {

volatile sig_atomic_t g_stop = 0;

void OnStop(int) { g_stop = 1; }

}  // namespace

int main(int argc, char** argv) {
    const char* socket_path = nullptr;
    int opt;
    while ((opt = getopt(argc, argv, "s:")) != -1) {
        if (opt != 's') {
            fprintf(stderr, "Usage: %s [-s <socket>]\n", argv[0]);
            return 1;
        }
        socket_path = optarg;
    }
    std::string path = ubus_standin::BusPath(socket_path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) {
        fprintf(stderr, "ubusd: socket path too long\n");
        return 1;
    }
    path.copy(address.sun_path, path.size());
    struct sigaction action = {};
    action.sa_handler = OnStop;  // no SA_RESTART: poll returns
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::string peers = ubus_standin::PeerDir(path);
    if (mkdir(peers.c_str(), 0755) != 0 && errno != EEXIST) {
        fprintf(stderr, "ubusd: cannot create %s: %s\n", peers.c_str(), strerror(errno));
        return 1;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(path.c_str());
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(fd, 16) != 0) {
        fprintf(stderr, "ubusd: cannot listen on %s: %s\n", path.c_str(), strerror(errno));
        return 1;
    }
    // A connection only shows that the bus is there.
    while (!g_stop) {
        pollfd ready = {fd, POLLIN, 0};
        if (poll(&ready, 1, -1) <= 0) continue;
        int peer = accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (peer >= 0) close(peer);
    }
    close(fd);
    unlink(path.c_str());
    return 0;
}
