// The control-interface client's receive path: a daemon socket sends the input's parts (split
// at "--" lines) as datagrams, then "PONG\n"; the client makes a request with a reply room of
// 1 to 128 bytes (from the first byte), then receives what is left as a monitor does.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "tests/fuzz/support.h"
#include "wpa_ctrl.h"

namespace {

constexpr const char* kDaemonPath = "/tmp/fuzz_ctrl_daemon";
int g_daemon = -1;
wpa_ctrl* g_ctrl = nullptr;

void OnEvent(char* msg, size_t len) {
    if (msg[len] != '\0') abort();
}

void Send(const char* data, size_t size) {
    sendto(g_daemon, data, size, 0, reinterpret_cast<const sockaddr*>(&g_ctrl->local),
           sizeof(g_ctrl->local));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    strcpy(addr.sun_path, kDaemonPath);
    g_daemon = socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0);
    unlink(kDaemonPath);
    if (bind(g_daemon, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
        (g_ctrl = wpa_ctrl_open(kDaemonPath)) == nullptr) {
        perror("control socket");
        exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const std::string& part : fuzz::Parts(data, size, 4)) Send(part.data(), part.size());
    Send("PONG\n", 5);
    const size_t room = size > 0 ? data[0] % 128 + 1 : 16;
    std::vector<char> reply(room);
    size_t len = room;
    wpa_ctrl_request(g_ctrl, "PING", 4, reply.data(), &len, OnEvent);
    if (len > room) abort();
    while (wpa_ctrl_pending(g_ctrl) == 1) {
        len = room;
        if (wpa_ctrl_recv(g_ctrl, reply.data(), &len) != 0 || len > room) abort();
    }
    char drain[64];
    while (recv(g_daemon, drain, sizeof(drain), 0) >= 0) {
    }
    return 0;
}
