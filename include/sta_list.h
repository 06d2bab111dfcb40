#ifndef WLAN_STA_LIST_H
#define WLAN_STA_LIST_H

#include <pthread.h>
#include <stdint.h>

#include "wlan_export.h"

// One associated station. Text fields are fixed buffers that always hold a terminated text.
class WLAN_EXPORT StaListItem {
public:
    StaListItem();
    StaListItem(const StaListItem& other);  // copies all but the recent host name; link null
    ~StaListItem();
    StaListItem& operator=(const StaListItem&) = delete;

    void SetIP(const char* ip);
    void SetMAC(const char* mac);
    void SetHostName(const char* name);
    void SetConnectedTime(const char* seconds);
    void SetOnlineTime(const char* hhmmss);
    char* GetIP();
    char* GetMAC();
    char* GetHostName();
    char* GetConnectedTime();
    char* GetOnlineTime();
    // Looks up the name the user gave this station in uci; "Unknown" when there is none.
    char* GetRecentHostName();
    void SetNext(StaListItem* next);
    StaListItem* GetNext();
    // Stations are the same when their MAC texts match without regard to case.
    bool operator==(const StaListItem& other) const;

private:
    char _ip[16];
    char _mac[18];
    char _host_name[65];
    char _connected_time[11];
    char _online_time[9];
    char _recent_host_name[65];
    StaListItem* _next;
};

// The stations associated with the AP: a singly linked list, newest first, guarded by one
// (non-recursive) mutex.
class WLAN_EXPORT StaList {
public:
    StaList();
    ~StaList();
    StaList(const StaList&) = delete;
    StaList& operator=(const StaList&) = delete;

    int AddSta(StaListItem* key);     // 1 added (a copy), 0 when the MAC is already listed
    int RemoveSta(StaListItem* key);  // 1 removed, 0 not found
    int32_t GetNum();
    int ClearAllStas();  // count before clearing, or -1 when the list lost consistency
    void Print();

    // The caller holds the mutex for these.
    StaListItem* _FindSta(StaListItem* key);
    StaListItem* _GetFirst();
    void _Lock();
    void _Unlock();

private:
    pthread_mutex_t _mutex;
    int32_t _count;
    StaListItem* _head;
};

#endif
