#include "config/maclist.h"

#include <stdlib.h>
#include <string.h>

#include "config/config_lines.h"
#include "util/atomic_file.h"
#include "util/log.h"
#include "util/text.h"

static_assert(sizeof(wlan_mgr_mac_entry) == 51, "MAC list entries are stored back to back");

namespace {

constexpr const char* kDescriptionMark = "DESCRIPTION:";
constexpr size_t kMacTextLength = 17;

bool append_entry(wlan_mgr_mac_entry** list, int32_t* count, const char* line,
                  const char* description) {
    if (*count < 0 || *count == INT32_MAX) return false;
    size_t grown_count = static_cast<size_t>(*count) + 1;
    void* grown = realloc(*list, grown_count * sizeof(wlan_mgr_mac_entry));
    if (grown == nullptr) return false;
    *list = static_cast<wlan_mgr_mac_entry*>(grown);
    wlan_mgr_mac_entry* entry = &(*list)[*count];
    memset(entry, 0, sizeof(*entry));
    copy_text_n(entry->mac, sizeof(entry->mac), line, kMacTextLength);
    copy_text(entry->description, description);
    *count = static_cast<int32_t>(grown_count);
    return true;
}

}  // namespace

int wlan_mgr_config_read_maclist(const char* path, wlan_mgr_mac_entry** list, int32_t* count) {
    WLAN_TRACE_ENTER("wlan_mgr_config_read_maclist");
    if (path == nullptr) {
        WLAN_TRACE_LEAVE("wlan_mgr_config_read_maclist");
        return 0;
    }
    UniqueFile file(fopen(path, "r"));
    if (!file) {
        WLAN_LOG5("MAC list file '%s' not found.", path);
        WLAN_TRACE_LEAVE("wlan_mgr_config_read_maclist");
        return -1;
    }
    char pending[sizeof(wlan_mgr_mac_entry::description)] = "";
    ConfigLineReader reader(file.get());
    while (reader.Next()) {
        char* line = reader.Text();
        if (line[0] == '\0') continue;
        if (line[0] == '#') {
            const char* mark = strstr(line, kDescriptionMark);
            if (mark != nullptr)
                store_config_text(pending, sizeof(pending), mark + strlen(kDescriptionMark),
                                  reader.LineNumber(), "DESCRIPTION");
            continue;
        }
        if (!append_entry(list, count, line, pending)) {
            WLAN_LOG5("MAC list reallocation failed");
            WLAN_TRACE_LEAVE("wlan_mgr_config_read_maclist");
            return -1;
        }
        pending[0] = '\0';
    }
    WLAN_TRACE_LEAVE("wlan_mgr_config_read_maclist");
    return 0;
}

bool wlan_mgr_config_write_maclist(AtomicFile* file, const char* path,
                                   const wlan_mgr_mac_entry* list, int32_t count) {
    WLAN_TRACE_ENTER("wlan_mgr_config_write_maclist");
    bool written = file->Open(path);
    if (written) {
        for (int32_t i = 0; list != nullptr && i < count; ++i) {
            // Bounded by the fields, in case a caller left a text unterminated.
            fprintf(file->Stream(), "#%s%.*s\n", kDescriptionMark,
                    static_cast<int>(sizeof(list[i].description) - 1), list[i].description);
            fprintf(file->Stream(), "%.*s\n", static_cast<int>(sizeof(list[i].mac) - 1),
                    list[i].mac);
        }
        written = file->Sync();
    }
    WLAN_TRACE_LEAVE("wlan_mgr_config_write_maclist");
    return written;
}
