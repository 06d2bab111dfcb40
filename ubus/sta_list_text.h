#ifndef WLAN_UBUS_STA_LIST_TEXT_H
#define WLAN_UBUS_STA_LIST_TEXT_H

#include <stdint.h>

class StaList;

// The station list as the "STA_LIST" reply carries it, a JSON object:
//   {"num":<n>,"list":[{"ip":"..","mac":"..","name":"..","onlineTime":".."},...]}
// The name is the station's host name from the leases, or when it has none the name the user
// gave it (StaListItem::GetRecentHostName, which reads uci). Host names come from DHCP clients
// and users, so every field is written as a JSON string, escaped; ordinary texts come out as
// they are.
//
// n is the count the caller read before: at most n entries are written, fewer when stations
// left meanwhile, and "num" is n. The list's lock is held while the entries are written. The
// text is allocated once for n escaped entries of the longest fields; the caller frees it with
// free(). Null when it cannot be allocated.
char* sta_list_text(StaList* list, int32_t n);

#endif
