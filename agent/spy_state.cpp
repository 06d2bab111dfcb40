#include "agent/spy_state.h"

#include <string.h>

#include <algorithm>

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
