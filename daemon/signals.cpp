#include "daemon/signals.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace wlanmgrd {
namespace {

int g_pipe[2] = {-1, -1};

void OnStopSignal(int signo) {
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(signo);
    // A full pipe already holds a stop request.
    ssize_t written = write(g_pipe[1], &byte, 1);
    (void)written;
    errno = saved;
}

}  // namespace

bool InstallStopSignals() {
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return sigaction(SIGTERM, &action, nullptr) == 0 && sigaction(SIGINT, &action, nullptr) == 0;
}

int StopSignalFd() { return g_pipe[0]; }

int TakeStopSignal() {
    unsigned char byte = 0;
    return read(g_pipe[0], &byte, 1) == 1 ? byte : 0;
}

}  // namespace wlanmgrd
