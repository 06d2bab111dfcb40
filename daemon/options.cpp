#include "daemon/options.h"

#include <string.h>
#include <sys/un.h>
#include <unistd.h>

namespace wlanmgrd {

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    optind = 1;
    opterr = 0;
    int opt;
    while ((opt = getopt(argc, argv, ":fc:s:p:h")) != -1) {
        switch (opt) {
            case 'f':
                options->foreground = true;
                break;
            case 'c':
                // A socket path must fit a Unix socket address.
                if (optarg[0] == '\0' || strlen(optarg) >= sizeof(sockaddr_un::sun_path)) {
                    *error = std::string("invalid control socket path '") + optarg + "'";
                    return false;
                }
                options->ctrl_paths.push_back(optarg);
                break;
            case 's':
                if (optarg[0] == '\0' || strlen(optarg) >= sizeof(sockaddr_un::sun_path)) {
                    *error = std::string("invalid bus socket path '") + optarg + "'";
                    return false;
                }
                options->socket = optarg;
                break;
            case 'p':
                options->pid_file = optarg;
                break;
            case 'h':
                options->help = true;
                break;
            case ':':
                *error = std::string("option -") + static_cast<char>(optopt) + " needs a value";
                return false;
            default:
                *error = std::string("unknown option -") + static_cast<char>(optopt);
                return false;
        }
    }
    if (optind < argc) {
        *error = std::string("unexpected argument '") + argv[optind] + "'";
        return false;
    }
    return true;
}

void PrintUsage(FILE* out, const char* program) {
    fprintf(out,
            "Usage: %s [-f] [-s SOCKET] [-c CTRL_SOCKET]... [-p PID_FILE] [-h]\n"
            "Runs the Wi-Fi access point: brings it up, serves its bus object and answers\n"
            "the switch, restart, idle and key events.\n"
            "  -f              stay in the foreground and log to standard error\n"
            "                  (otherwise: detach and log to the platform log)\n"
            "  -s SOCKET       serve wlan_object on a bus connection of the daemon's own to\n"
            "                  SOCKET (otherwise the agent serves wlan_object_test on\n"
            "                  its own connection to /var/run/ubus.sock)\n"
            "  -c CTRL_SOCKET  monitor a hostapd or wpa_supplicant control socket and pass\n"
            "                  its event messages to the agent (may be given more than once)\n"
            "  -p PID_FILE     write the process id there when detached\n"
            "  -h              this help\n"
            "SIGTERM or SIGINT stops the access point and ends the daemon with status 0.\n",
            program);
}

}  // namespace wlanmgrd
