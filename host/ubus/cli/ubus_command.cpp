// The `ubus` command of the host platform. Only `ubus send TYPE [MESSAGE]` is served: the
// message (a JSON object, "{}" when left out) is checked and the event is appended to
// /var/run/ubus_events.log as one line: the event type, a space, and the message as compact
// JSON (as blobmsg_format_json writes it), then a newline. Tests read the log through
// tests/support/bus_events.h. Invalid JSON logs nothing and exits with
// UBUS_STATUS_PARSE_ERROR; other commands print the usage and exit with status 1.
extern "C" {
#include <libubox/blobmsg_json.h>
}

#include <errno.h>
#include <fcntl.h>
#include <getopt.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "ubusmsg.h"

namespace {

constexpr const char* kEventLog = "/var/run/ubus_events.log";

int Usage(const char* prog) {
    fprintf(stderr,
            "Usage: %s [<options>] <command> [arguments...]\n"
            "Options:\n"
            " -s <socket>:\t\tSet the unix domain socket to connect to\n"
            " -t <timeout>:\t\tSet the timeout (in seconds) for a command to complete\n"
            " -S:\t\t\tUse simplified output (for scripts)\n"
            " -v:\t\t\tMore verbose output\n"
            "\n"
            "Commands:\n"
            " - send <type> [<message>]\tSend an event\n"
            "\n"
            "This host stand-in serves only the send command.\n",
            prog);
    return 1;
}

// A type is written as the first word of its log line.
bool IsValidType(const char* type) {
    if (*type == '\0') return false;
    for (const char* p = type; *p; ++p)
        if (static_cast<unsigned char>(*p) <= ' ' || *p == 0x7f) return false;
    return true;
}

bool AppendLine(const std::string& line) {
    int fd = open(kEventLog, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // One write per line keeps lines of concurrent senders whole.
    ssize_t written = write(fd, line.data(), line.size());
    bool ok = written == static_cast<ssize_t>(line.size());
    return close(fd) == 0 && ok;
}

int Send(const char* type, const char* message) {
    if (!IsValidType(type)) {
        fprintf(stderr, "Invalid event type\n");
        return UBUS_STATUS_INVALID_ARGUMENT;
    }
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    if (message != nullptr && !blobmsg_add_json_from_string(&buf, message)) {
        fprintf(stderr, "Failed to parse message data\n");
        blob_buf_free(&buf);
        return UBUS_STATUS_PARSE_ERROR;
    }
    char* json = blobmsg_format_json(buf.head, true);
    blob_buf_free(&buf);
    if (json == nullptr) return UBUS_STATUS_NO_MEMORY;
    std::string line = std::string(type) + " " + json + "\n";
    free(json);
    if (!AppendLine(line)) {
        fprintf(stderr, "Command failed: cannot write %s: %s\n", kEventLog, strerror(errno));
        return UBUS_STATUS_SYSTEM_ERROR;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* prog = argv[0];
    int opt;
    while ((opt = getopt(argc, argv, "+s:t:Sv")) != -1) {
        if (opt == '?') return Usage(prog);
    }
    argc -= optind;
    argv += optind;
    if (argc >= 2 && argc <= 3 && strcmp(argv[0], "send") == 0)
        return Send(argv[1], argc == 3 ? argv[2] : nullptr);
    return Usage(prog);
}
