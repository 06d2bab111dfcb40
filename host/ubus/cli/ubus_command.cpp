// The `ubus` command of the host platform.
// - `ubus send TYPE [MESSAGE]`: the message (a JSON object, "{}" when left out) is checked and
//   the event is appended to /var/run/ubus_events.log as one line: the event type, a space, and
//   the message as compact JSON (as blobmsg_format_json writes it), then a newline. Tests read
//   the log through host/sandbox/bus_events.h. When a bus daemon (`ubusd`) runs, the event
//   also goes to every process on the bus. Invalid JSON logs nothing and exits with
//   UBUS_STATUS_PARSE_ERROR.
// - `ubus call PATH METHOD [MESSAGE]` and `ubus list`: served by the processes on the bus of a
//   running `ubusd`; the reply is printed as upstream prints it (indented JSON), a failure as
//   "Command failed: ..." with the status as the exit status.
// Other commands print the usage and exit with status 1.
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

#include "../lib/share_wire.h"
#include "libubus.h"
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
            " - list [<path>]\t\t\tList objects\n"
            " - call <path> <method> [<message>]\tCall an object method\n"
            " - send <type> [<message>]\tSend an event\n"
            "\n"
            "This host stand-in serves only these commands.\n",
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

const char* g_socket = nullptr;  // -s

// Whether a bus daemon answers on the socket.
bool BusUp() {
    int fd = ubus_standin::ConnectTo(ubus_standin::BusPath(g_socket));
    if (fd < 0) return false;
    close(fd);
    return true;
}

int NoBus() {
    fprintf(stderr, "Failed to connect to ubus\n");
    return -1;
}

// The message as compact JSON, or the status of a message that is not a JSON object.
int CompactJson(const char* message, std::string* json) {
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    if (message != nullptr && !blobmsg_add_json_from_string(&buf, message)) {
        fprintf(stderr, "Failed to parse message data\n");
        blob_buf_free(&buf);
        return UBUS_STATUS_PARSE_ERROR;
    }
    char* text = blobmsg_format_json(buf.head, true);
    blob_buf_free(&buf);
    if (text == nullptr) return UBUS_STATUS_NO_MEMORY;
    *json = text;
    free(text);
    return 0;
}

int Call(const char* path, const char* method, const char* message) {
    if (!BusUp()) return NoBus();
    std::string json;
    int status = CompactJson(message, &json);
    if (status != 0) return status;
    status = UBUS_STATUS_NOT_FOUND;
    for (const std::string& peer : ubus_standin::Peers(ubus_standin::BusPath(g_socket))) {
        ubus_standin::Texts answer;
        if (!ubus_standin::Ask(peer, {"call", path, method, json}, &answer) || answer.empty())
            continue;  // a process that has gone
        status = atoi(answer[0].c_str());
        if (status == UBUS_STATUS_NOT_FOUND && answer.size() == 1) continue;
        for (size_t i = 1; i < answer.size(); ++i) {
            blob_buf buf = {};
            blob_buf_init(&buf, 0);
            if (blobmsg_add_json_from_string(&buf, answer[i].c_str())) {
                char* text = blobmsg_format_json_indent(buf.head, true, 0);
                if (text != nullptr) printf("%s\n", text);
                free(text);
            }
            blob_buf_free(&buf);
        }
        break;
    }
    if (status != 0) fprintf(stderr, "Command failed: %s\n", ubus_strerror(status));
    return status;
}

int List(const char* only) {
    if (!BusUp()) return NoBus();
    for (const std::string& peer : ubus_standin::Peers(ubus_standin::BusPath(g_socket))) {
        ubus_standin::Texts answer;
        if (!ubus_standin::Ask(peer, {"list"}, &answer)) continue;
        for (size_t i = 1; i < answer.size(); ++i)
            if (only == nullptr || answer[i] == only) printf("%s\n", answer[i].c_str());
    }
    return 0;
}

// Every process on a running bus receives the event.
void Deliver(const char* type, const std::string& json) {
    if (!BusUp()) return;
    for (const std::string& peer : ubus_standin::Peers(ubus_standin::BusPath(g_socket))) {
        ubus_standin::Texts answer;
        ubus_standin::Ask(peer, {"event", type, json}, &answer);
    }
}

int Send(const char* type, const char* message) {
    if (!IsValidType(type)) {
        fprintf(stderr, "Invalid event type\n");
        return UBUS_STATUS_INVALID_ARGUMENT;
    }
    std::string json;
    int status = CompactJson(message, &json);
    if (status != 0) return status;
    if (!AppendLine(std::string(type) + " " + json + "\n")) {
        fprintf(stderr, "Command failed: cannot write %s: %s\n", kEventLog, strerror(errno));
        return UBUS_STATUS_SYSTEM_ERROR;
    }
    Deliver(type, json);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* prog = argv[0];
    int opt;
    while ((opt = getopt(argc, argv, "+s:t:Sv")) != -1) {
        if (opt == '?') return Usage(prog);
        if (opt == 's') g_socket = optarg;
    }
    argc -= optind;
    argv += optind;
    if (argc >= 2 && argc <= 3 && strcmp(argv[0], "send") == 0)
        return Send(argv[1], argc == 3 ? argv[2] : nullptr);
    if (argc >= 3 && argc <= 4 && strcmp(argv[0], "call") == 0)
        return Call(argv[1], argv[2], argc == 4 ? argv[3] : nullptr);
    if (argc >= 1 && argc <= 2 && strcmp(argv[0], "list") == 0)
        return List(argc == 2 ? argv[1] : nullptr);
    return Usage(prog);
}
