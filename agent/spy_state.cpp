#include "agent/spy_state.h"

#include <string.h>

#include <algorithm>
#include <mutex>

#include "sta_list.h"
#include "util/shell.h"
#include "util/text.h"

namespace {

std::mutex g_spy_mutex;
SpyCommand g_spy = {};

}  // namespace

void publish_spy_command(const char* command, int32_t mac_offset) {
    SpyCommand spy = {};
    copy_text(spy.spy_cmd, command);
    spy.spy_mac_offset = mac_offset;
    std::lock_guard<std::mutex> guard(g_spy_mutex);
    g_spy = spy;
}

SpyCommand spy_command_snapshot() {
    std::lock_guard<std::mutex> guard(g_spy_mutex);
    return g_spy;
}

void spy_line_mac(int32_t mac_offset, const char* line, char* mac, size_t size) {
    if (mac == nullptr || size == 0) return;
    mac[0] = '\0';
    if (line == nullptr || mac_offset < 0) return;
    size_t start = static_cast<size_t>(mac_offset) + 1;
    if (strnlen(line, start) < start) return;
    const char* text = line + start;
    size_t line_rest = strcspn(text, "\r\n");
    copy_text_n(mac, size, text, std::min<size_t>(line_rest, 17));
}

int for_each_spy_line(const SpyCommand& spy, const std::function<bool(const char* mac)>& visit) {
    ShellPipe pipe;
    if (!pipe.OpenWords(spy.spy_cmd)) return -1;
    int lines = 0;
    char line[kSpyLineSize];
    while (pipe.ReadWholeLine(line, sizeof(line))) {
        ++lines;
        char mac[18];
        spy_line_mac(spy.spy_mac_offset, line, mac, sizeof(mac));
        if (!visit(mac)) break;
    }
    return lines;
}

int add_spy_stations(const SpyCommand& spy, StaList* list) {
    return for_each_spy_line(spy, [list](const char* mac) {
        if (mac[0] != '\0') {
            StaListItem key;
            key.SetMAC(mac);
            list->AddSta(&key);
        }
        return true;
    });
}
