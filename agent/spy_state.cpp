#include "agent/spy_state.h"

#include <string.h>

#include <algorithm>

#include "sta_list.h"
#include "util/shell.h"
#include "util/text.h"

char spy_cmd[64];
int32_t spy_mac_offset;

void spy_line_mac(const char* line, char* mac, size_t size) {
    if (mac == nullptr || size == 0) return;
    mac[0] = '\0';
    if (line == nullptr || spy_mac_offset < 0) return;
    size_t start = static_cast<size_t>(spy_mac_offset) + 1;
    if (strnlen(line, start) < start) return;
    const char* text = line + start;
    size_t line_rest = strcspn(text, "\r\n");
    copy_text_n(mac, size, text, std::min<size_t>(line_rest, 17));
}

int for_each_spy_line(const std::function<bool(const char* mac)>& visit) {
    ShellPipe pipe;
    if (!pipe.Open(spy_cmd)) return -1;
    int lines = 0;
    char line[kSpyLineSize];
    while (pipe.ReadWholeLine(line, sizeof(line))) {
        ++lines;
        char mac[18];
        spy_line_mac(line, mac, sizeof(mac));
        if (!visit(mac)) break;
    }
    return lines;
}

int add_spy_stations(StaList* list) {
    return for_each_spy_line([list](const char* mac) {
        if (mac[0] != '\0') {
            StaListItem key;
            key.SetMAC(mac);
            list->AddSta(&key);
        }
        return true;
    });
}
