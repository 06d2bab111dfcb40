#include "wisp/static_ip_config.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <mutex>
#include <string>

#include "util/atomic_file.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/text.h"

namespace {

// The field offsets of a file item.
constexpr size_t kSsidAt = 0;
constexpr size_t kIpAt = kSsidAt + kStaticIpSsidSize;
constexpr size_t kSubmaskAt = kIpAt + kStaticIpAddrSize;
constexpr size_t kGatewayAt = kSubmaskAt + kStaticIpAddrSize;
constexpr size_t kDns1At = kGatewayAt + kStaticIpAddrSize;
constexpr size_t kDns2At = kDns1At + kStaticIpAddrSize;
static_assert(kDns2At + kStaticIpAddrSize == 113, "the reserved bytes start at 113");
static_assert(kStaticIpFileItemSize >= 113, "items hold every field");

constexpr const char* kNoAddress = "0.0.0.0";

// The list, absent until the first load; g_presence guards the pointer.
std::mutex g_presence;
StaticIpConfig* g_list = nullptr;

class ListLock {
public:
    explicit ListLock(StaticIpConfig* list) : list_(list) { pthread_mutex_lock(&list_->lock); }
    ~ListLock() { pthread_mutex_unlock(&list_->lock); }
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;

private:
    StaticIpConfig* list_;
};

// A text field of a file item, terminated whatever the file holds.
void take_field(char* dst, size_t size, const unsigned char* item, size_t at) {
    memcpy(dst, item + at, size);
    dst[size - 1] = '\0';
}

// Writes a text field into a zeroed file item: at most size - 1 bytes, so it stays terminated.
void put_field(unsigned char* item, size_t at, const char* src, size_t size) {
    memcpy(item + at, src, strnlen(src, size - 1));
}

StaticIpConfigItem* new_item() {
    return static_cast<StaticIpConfigItem*>(calloc(1, sizeof(StaticIpConfigItem)));
}

StaticIpConfigItem* find_item(StaticIpConfig* list, const char* ssid) {
    for (StaticIpConfigItem* item = list->first; item != nullptr; item = item->next)
        if (strcmp(item->ssid, ssid) == 0) return item;
    return nullptr;
}

void set_values(StaticIpConfigItem* item, const StaticIpSettings& settings) {
    copy_text(item->ip, settings.ip);
    copy_text(item->submask, settings.submask);
    copy_text(item->gateway, settings.gateway);
    copy_text(item->dns1, settings.dns1);
    copy_text(item->dns2, settings.dns2);
}

void read_file(StaticIpConfig* list) {
    FILE* file = fopen(kWispStaticIpPath, "rb");
    if (file == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "WISP: conf file open failed, read");
        return;
    }
    unsigned char head[kStaticIpFileHeadSize];
    if (fread(head, 1, sizeof(head), file) != sizeof(head)) {
        wlan_errlog(WLAN_PRIO_ERROR, "WISP: read conf file head failed");
        fclose(file);
        return;
    }
    unsigned char raw[kStaticIpFileItemSize];
    while (fread(raw, 1, sizeof(raw), file) == sizeof(raw)) {
        StaticIpConfigItem* item = new_item();
        if (item == nullptr) break;
        take_field(item->ssid, sizeof(item->ssid), raw, kSsidAt);
        take_field(item->ip, sizeof(item->ip), raw, kIpAt);
        take_field(item->submask, sizeof(item->submask), raw, kSubmaskAt);
        take_field(item->gateway, sizeof(item->gateway), raw, kGatewayAt);
        take_field(item->dns1, sizeof(item->dns1), raw, kDns1At);
        take_field(item->dns2, sizeof(item->dns2), raw, kDns2At);
        ListLock lock(list);
        item->next = list->first;
        list->first = item;
        ++list->count;
    }
    fclose(file);
}

// The file's content for the list; the caller holds the list lock.
std::string file_content(StaticIpConfig* list) {
    std::string content(kStaticIpFileHeadSize, '\0');
    memcpy(&content[0], &list->count, sizeof(list->count));
    int32_t walked = 0;
    for (const StaticIpConfigItem* item = list->first; item != nullptr; item = item->next) {
        ++walked;
        if (strcmp(item->ip, kNoAddress) == 0) continue;
        unsigned char raw[kStaticIpFileItemSize] = {};
        put_field(raw, kSsidAt, item->ssid, kStaticIpSsidSize);
        put_field(raw, kIpAt, item->ip, kStaticIpAddrSize);
        put_field(raw, kSubmaskAt, item->submask, kStaticIpAddrSize);
        put_field(raw, kGatewayAt, item->gateway, kStaticIpAddrSize);
        put_field(raw, kDns1At, item->dns1, kStaticIpAddrSize);
        put_field(raw, kDns2At, item->dns2, kStaticIpAddrSize);
        content.append(reinterpret_cast<const char*>(raw), sizeof(raw));
    }
    if (walked != list->count)
        wlan_errlog(WLAN_PRIO_WARN, "WISP static config item lost its consistency.");
    return content;
}

bool fits(const char* text, size_t size) { return text == nullptr || strlen(text) < size; }

}  // namespace

bool is_static_ip_value(const char* text) {
    if (text == nullptr || *text == '\0') return true;
    for (int group = 0; group < 4; ++group) {
        if (group > 0 && *text++ != '.') return false;
        int value = 0;
        int digits = 0;
        for (; *text >= '0' && *text <= '9' && digits < 4; ++text, ++digits)
            value = value * 10 + (*text - '0');
        if (digits == 0 || digits > 3 || value > 255) return false;
    }
    return *text == '\0';
}

void static_ip_config_load() {
    std::lock_guard<std::mutex> presence(g_presence);
    if (g_list != nullptr) return;
    auto* list = static_cast<StaticIpConfig*>(calloc(1, sizeof(StaticIpConfig)));
    if (list == nullptr) return;
    if (pthread_mutex_init(&list->lock, nullptr) != 0) {
        wlan_errlog(WLAN_PRIO_ERROR, "WISP: init lock for static ip config failed");
        free(list);
        return;
    }
    g_list = list;
    read_file(list);
}

bool static_ip_config_save(const StaticIpSettings& settings) {
    std::lock_guard<std::mutex> presence(g_presence);
    StaticIpConfig* list = g_list;
    if (list == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "WISP: save static ip config: invalid para");
        return false;
    }
    const char* values[] = {settings.ip, settings.submask, settings.gateway, settings.dns1,
                            settings.dns2};
    for (const char* value : values) {
        if (!is_static_ip_value(value)) {
            WLAN_LOG5("WISP: static ip value refused, not an IPv4 address");
            return false;
        }
    }
    if (!fits(settings.ssid, kStaticIpSsidSize)) {
        WLAN_LOG5("WISP: static ip config: ssid too long, refused");
        return false;
    }

    ListLock lock(list);
    // The item as it was (or the one added), put back when the file is not replaced: settings
    // that were not stored must not be handed to the platform later.
    StaticIpConfigItem* changed = nullptr;
    StaticIpConfigItem before = {};
    StaticIpConfigItem* added = nullptr;
    if (settings.ssid != nullptr && settings.ssid[0] != '\0') {
        StaticIpConfigItem* item = find_item(list, settings.ssid);
        if (item != nullptr) {
            changed = item;
            before = *item;
            set_values(item, settings);
        } else if ((item = new_item()) != nullptr) {
            added = item;
            copy_text(item->ssid, settings.ssid);
            set_values(item, settings);
            item->next = list->first;
            list->first = item;
            ++list->count;
        }
    }
    const auto keep_old = [&] {
        if (changed != nullptr) *changed = before;
        if (added != nullptr) {
            list->first = added->next;
            --list->count;
            free(added);
        }
        return false;
    };
    AtomicFile file;
    if (!file.Open(kWispStaticIpPath)) {
        wlan_errlog(WLAN_PRIO_ERROR, "WISP: open conf file failed, write");
        return keep_old();
    }
    // Head, then the items; any short write drops the new content and keeps the old file.
    const std::string content = file_content(list);
    for (size_t at = 0; at < content.size();) {
        const size_t size = at == 0 ? kStaticIpFileHeadSize : kStaticIpFileItemSize;
        if (fwrite(content.data() + at, 1, size, file.Stream()) != size) {
            wlan_errlog(WLAN_PRIO_ERROR, at == 0 ? "WISP: write static config head failed"
                                                 : "WISP: write static config item failed");
            return keep_old();
        }
        at += size;
    }
    if (!file.Commit()) {
        wlan_errlog(WLAN_PRIO_ERROR, "WISP: write static config file failed, old file kept");
        return keep_old();
    }
    return true;
}

bool static_ip_config_with(const char* ssid,
                           void (*fn)(const StaticIpValues& values, bool found, void* context),
                           void* context) {
    std::lock_guard<std::mutex> presence(g_presence);
    StaticIpConfig* list = g_list;
    if (list == nullptr) return false;
    StaticIpValues values = {};
    ListLock lock(list);
    const StaticIpConfigItem* item = find_item(list, ssid != nullptr ? ssid : "");
    if (item != nullptr) {
        copy_text(values.ip, item->ip);
        copy_text(values.submask, item->submask);
        copy_text(values.gateway, item->gateway);
        copy_text(values.dns1, item->dns1);
        copy_text(values.dns2, item->dns2);
    } else {
        for (char* value : {values.ip, values.submask, values.gateway, values.dns1, values.dns2})
            copy_text(value, kStaticIpAddrSize, kNoAddress);
    }
    fn(values, item != nullptr, context);
    return true;
}

void static_ip_config_release() {
    std::lock_guard<std::mutex> presence(g_presence);
    StaticIpConfig* list = g_list;
    if (list == nullptr) return;
    {
        ListLock lock(list);
        while (list->first != nullptr) {
            StaticIpConfigItem* item = list->first;
            list->first = item->next;
            free(item);
            --list->count;
        }
        if (list->count != 0)
            wlan_errlog(WLAN_PRIO_WARN,
                        "WISP: StaticIpConfig may lost consistency, mem leak might happen.");
    }
    pthread_mutex_destroy(&list->lock);
    free(list);
    g_list = nullptr;
}
