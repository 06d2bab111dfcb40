// Event broadcasts through the `ubus send` command.
extern "C" {
#include <libubox/blobmsg_json.h>
}
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "ubus_assistant.h"
#include "util/log.h"
#include "util/shell.h"

namespace {

// The longest command line a broadcast may run.
constexpr size_t kCommandLimit = 259;

// The event name stands bare on the command line: only name characters may pass.
bool is_event_name(const char* text) {
    if (text == nullptr || *text == '\0') return false;
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (!isalnum(c) && c != '_' && c != '-' && c != '.') return false;
    }
    return true;
}

// The message: a JSON object with one string member, written by the bus library's own JSON
// writer, so that quotes, backslashes and control characters in key or value are escaped.
// Empty when it cannot be made.
std::string event_message(const char* key, const char* value) {
    std::string json;
    blob_buf buf = {};
    if (blob_buf_init(&buf, 0) == 0 && blobmsg_add_string(&buf, key, value) == 0) {
        char* text = blobmsg_format_json(buf.head, true);
        if (text != nullptr) json = text;
        free(text);
    }
    blob_buf_free(&buf);
    return json;
}

}  // namespace

// The command is "ubus send EVENT 'JSON'"; for ordinary texts that is
// ubus send wlan_event '{"wlan_switch":"on"}'. It is started directly: `ubus` receives the JSON
// as one argument, byte for byte, as the shell gave it from the quoted word. The length limit
// stays that of the command line the shell ran.
void UbusAssistant::CastEvent(const char* event, const char* key, const char* value) {
    // A member without a name would be written without one, which is not JSON.
    if (!is_event_name(event) || key == nullptr || *key == '\0' || value == nullptr) {
        WLAN_LOG5("UbusAssistant::CastEvent: unsafe text, event not sent.");
        return;
    }
    std::string json = event_message(key, value);
    if (json.empty()) {
        WLAN_LOG5("UbusAssistant::CastEvent: no message, event [%s] not sent.", event);
        return;
    }
    size_t line_length =
        strlen("ubus send ") + strlen(event) + 1 + shell_quote(json.c_str()).size();
    if (line_length > kCommandLimit) {
        WLAN_LOG5("UbusAssistant::CastEvent: command too long, event [%s] not sent.", event);
        return;
    }
    const char* argv[] = {"ubus", "send", event, json.c_str(), nullptr};
    command_run(argv);
}
