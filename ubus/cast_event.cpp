// Event broadcasts through the `ubus send` command.
#include <ctype.h>
#include <string.h>

#include "ubus_assistant.h"
#include "util/log.h"
#include "util/shell.h"

namespace {

constexpr size_t kCommandSize = 260;

// The event name stands bare on the command line: only name characters may pass.
bool is_event_name(const char* text) {
    if (text == nullptr || *text == '\0') return false;
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (!isalnum(c) && c != '_' && c != '-' && c != '.') return false;
    }
    return true;
}

// Key and value sit inside one single-quoted word: a single quote would end it.
bool fits_in_quotes(const char* text) { return text != nullptr && strchr(text, '\'') == nullptr; }

}  // namespace

void UbusAssistant::CastEvent(const char* event, const char* key, const char* value) {
    if (!is_event_name(event) || !fits_in_quotes(key) || !fits_in_quotes(value)) {
        __wlan_log(5, "UbusAssistant::CastEvent: unsafe text, event not sent.");
        return;
    }
    char command[kCommandSize];
    if (!format_bounded(command, sizeof(command), "ubus send %s '{\"%s\":\"%s\"}'", event, key,
                        value)) {
        __wlan_log(5, "UbusAssistant::CastEvent: command too long, event [%s] not sent.", event);
        return;
    }
    shell_run(command);
}
