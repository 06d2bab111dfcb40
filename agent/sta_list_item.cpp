#include <string.h>
#include <strings.h>

#include "sta_list.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"
#include "wlan_config.h"

namespace {

// Copies src into a field of the item. A null source, or the field itself, leaves it unchanged;
// a source that overlaps the field is copied through a scratch buffer.
template <size_t N>
void set_field(char (&field)[N], const char* src) {
    if (src == nullptr || src == field) return;
    char scratch[N];
    copy_text(scratch, src);
    memcpy(field, scratch, N);
}

}  // namespace

StaListItem::StaListItem() : _next(nullptr) {
    _ip[0] = '\0';
    _mac[0] = '\0';
    _host_name[0] = '\0';
    _connected_time[0] = '\0';
    _online_time[0] = '\0';
    _recent_host_name[0] = '\0';
}

StaListItem::StaListItem(const StaListItem& other) : StaListItem() {
    memcpy(_ip, other._ip, sizeof(_ip));
    memcpy(_mac, other._mac, sizeof(_mac));
    memcpy(_host_name, other._host_name, sizeof(_host_name));
    memcpy(_connected_time, other._connected_time, sizeof(_connected_time));
    memcpy(_online_time, other._online_time, sizeof(_online_time));
}

StaListItem::~StaListItem() { _next = nullptr; }

void StaListItem::SetIP(const char* ip) { set_field(_ip, ip); }
void StaListItem::SetMAC(const char* mac) { set_field(_mac, mac); }
void StaListItem::SetHostName(const char* name) { set_field(_host_name, name); }
void StaListItem::SetConnectedTime(const char* seconds) { set_field(_connected_time, seconds); }
void StaListItem::SetOnlineTime(const char* hhmmss) { set_field(_online_time, hhmmss); }

char* StaListItem::GetIP() { return _ip; }
char* StaListItem::GetMAC() { return _mac; }
char* StaListItem::GetHostName() { return _host_name; }
char* StaListItem::GetConnectedTime() { return _connected_time; }
char* StaListItem::GetOnlineTime() { return _online_time; }

char* StaListItem::GetRecentHostName() {
    memset(_recent_host_name, 0, sizeof(_recent_host_name));
    // The MAC ends up in a command line: only a well-formed address is looked up.
    if (!is_mac_text(_mac)) {
        WLAN_LOG5("GetRecentHostName: [%s] is not a MAC address, not looked up", _mac);
        copy_text(_recent_host_name, "Unknown");
        return _recent_host_name;
    }
    char option[18];
    copy_text(option, _mac);
    for (char* p = option; *p != '\0'; ++p)
        if (*p == ':') *p = '_';
    char command[256];
    format_bounded(command, sizeof(command), "uci get dhcp_var.hostname_item.%s", option);
    read_uci(command, _recent_host_name, sizeof(_recent_host_name), "Unknown");
    return _recent_host_name;
}

void StaListItem::SetNext(StaListItem* next) { _next = next; }
StaListItem* StaListItem::GetNext() { return _next; }

bool StaListItem::operator==(const StaListItem& other) const {
    return strcasecmp(_mac, other._mac) == 0;
}
