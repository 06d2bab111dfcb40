#include "wisp/scan_results.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "util/json_string.h"
#include "util/log.h"
#include "util/text.h"
#include "wlan_radio.h"

namespace {

// The lines of an access point block, in the order the report writes them.
enum BlockLine { kSsidLine = 1, kQualityLine, kUnusedLine, kWpaLine, kClassLine, kEndLine };

bool starts_with(const char* text, const char* keyword) {
    return strncmp(text, keyword, strlen(keyword)) == 0;
}

// Copies an SSID line into the record's field; a cut never ends inside a UTF-8 character.
void copy_ssid(char (&ssid)[sizeof(scan_ap_entry::ssid)], const char* line) {
    if (copy_text(ssid, line)) return;
    // The first byte left out continues a character: the character's start goes too.
    size_t len = strlen(ssid);
    while (len > 0 && (static_cast<unsigned char>(line[len]) & 0xC0) == 0x80) --len;
    ssid[len] = '\0';
}

}  // namespace

int32_t scan_signal_level(long quality) {
    if (quality > 70) return 4;
    if (quality > 50) return 3;
    if (quality > 30) return 2;
    if (quality > 10) return 1;
    return 0;
}

int32_t scan_security_code(const char* wpa_text, const char* class_text) {
    if (starts_with(class_text, "NONE")) return 0;
    if (starts_with(class_text, "WEP")) return 1;
    if (starts_with(class_text, "802")) return 7;
    if (starts_with(wpa_text, "WPA/")) return 6;
    if (starts_with(wpa_text, "WPA2")) return strstr(wpa_text, "TKIP") != nullptr ? 4 : 5;
    if (starts_with(wpa_text, "WPA-")) return strstr(wpa_text, "AES") != nullptr ? 3 : 2;
    return 5;
}

size_t scan_parse_blocks(FILE* file, scan_ap_entry* records, size_t capacity) {
    size_t count = 0;
    bool over = false;
    scan_ap_entry next = {};
    char wpa_text[kScanLineSize] = "";
    char line[kScanLineSize];
    int at = kSsidLine;
    while (read_file_line(file, line, sizeof(line))) {
        switch (at) {
            case kSsidLine:
                next = {};
                copy_ssid(next.ssid, line);
                break;
            case kQualityLine:
                next.signal = scan_signal_level(strtol(line, nullptr, 10));
                break;
            case kWpaLine:
                copy_text(wpa_text, line);
                break;
            case kClassLine:
                next.security = scan_security_code(wpa_text, line);
                break;
            default:
                break;
        }
        if (at++ != kEndLine) continue;
        at = kSsidLine;
        scan_ap_entry* same = nullptr;
        for (size_t i = 0; i < count && same == nullptr; ++i)
            if (strcmp(records[i].ssid, next.ssid) == 0 && records[i].security == next.security)
                same = &records[i];
        if (same != nullptr) {
            if (next.signal > same->signal) same->signal = next.signal;
        } else if (count < capacity) {
            records[count++] = next;
        } else if (!over) {
            over = true;
            WLAN_LOG5("scan result: more access points than announced, the rest left out");
        }
    }
    return count;
}

void scan_sort_by_signal(scan_ap_entry* records, size_t count) {
    for (size_t i = 0; i < count; ++i)
        for (size_t j = i; j < count; ++j)
            if (records[i].signal < records[j].signal) {
                const scan_ap_entry swapped = records[i];
                records[i] = records[j];
                records[j] = swapped;
            }
}

void scan_list_text(const scan_ap_entry* records, size_t count, char* text) {
    static constexpr char kHead[] = "{\"apList\":[";
    static constexpr char kTail[] = "]}";
    // Room for the items: the text less its head, its tail and its terminator.
    const size_t room = kScanListTextSize - (sizeof(kHead) - 1) - sizeof(kTail);
    size_t used = 0;
    char* items = text + sizeof(kHead) - 1;
    memcpy(text, kHead, sizeof(kHead) - 1);
    for (size_t i = 0; i < count; ++i) {
        if (records[i].ssid[0] == '\0') continue;
        char ssid[sizeof(records[i].ssid) * kJsonEscapedMax];
        json_escape(ssid, sizeof(ssid), records[i].ssid, sizeof(records[i].ssid));
        char item[sizeof(ssid) + 64];
        const int len =
            snprintf(item, sizeof(item), "%s{\"ssid\":\"%s\",\"security\":%d,\"signal\":%d}",
                     used == 0 ? "" : ",", ssid, records[i].security, records[i].signal);
        if (len < 0 || static_cast<size_t>(len) >= sizeof(item) ||
            used + static_cast<size_t>(len) > room)
            continue;
        memcpy(items + used, item, static_cast<size_t>(len));
        used += static_cast<size_t>(len);
    }
    memcpy(items + used, kTail, sizeof(kTail));
}

void scan_parse_connected(FILE* file, scan_connected_info* info) {
    *info = {};
    char wpa_text[kScanLineSize] = "";
    char line[kScanLineSize];
    if (!read_file_line(file, line, sizeof(line))) return;
    for (int at = kSsidLine; at <= kClassLine && read_file_line(file, line, sizeof(line)); ++at) {
        switch (at) {
            case kSsidLine:
                // Pairs never grow, so the result fits the line's room.
                strrpl(info->ssid, line, "\\\\", "\\");
                break;
            case kQualityLine:
                info->signal = scan_signal_level(strtol(line, nullptr, 10));
                break;
            case kWpaLine:
                copy_text(wpa_text, line);
                break;
            case kClassLine:
                info->security = scan_security_code(wpa_text, line);
                break;
            default:
                break;
        }
    }
}
