#include "sta_list.h"

#include <stdio.h>

#include "util/log.h"

StaList::StaList() : _count(0), _head(nullptr) { pthread_mutex_init(&_mutex, nullptr); }

StaList::~StaList() {
    ClearAllStas();
    pthread_mutex_destroy(&_mutex);
}

int StaList::AddSta(StaListItem* key) {
    if (key == nullptr) return 0;
    _Lock();
    int added = 0;
    if (_FindSta(key) == nullptr) {
        StaListItem* item = new StaListItem(*key);
        item->SetNext(_head);
        _head = item;
        ++_count;
        added = 1;
    }
    _Unlock();
    return added;
}

int StaList::RemoveSta(StaListItem* key) {
    if (key == nullptr) return 0;
    _Lock();
    StaListItem* previous = nullptr;
    StaListItem* item = _head;
    while (item != nullptr && !(*item == *key)) {
        previous = item;
        item = item->GetNext();
    }
    int removed = 0;
    if (item != nullptr) {
        if (previous == nullptr)
            _head = item->GetNext();
        else
            previous->SetNext(item->GetNext());
        --_count;
        wlan_userlog(WLAN_PRIO_INFO, "Found sta[%s], ready to remove", item->GetMAC());
        delete item;
        removed = 1;
    }
    _Unlock();
    return removed;
}

int32_t StaList::GetNum() {
    _Lock();
    int32_t count = _count;
    _Unlock();
    return count;
}

int StaList::ClearAllStas() {
    _Lock();
    int32_t found = _count;
    int32_t freed = 0;
    while (_head != nullptr) {
        StaListItem* item = _head;
        _head = item->GetNext();
        delete item;
        --_count;
        ++freed;
    }
    bool consistent = freed == found && _count == 0;
    _count = 0;
    _Unlock();
    if (!consistent) {
        wlan_errlog(WLAN_PRIO_WARN,
                    "StaList::ClearAllStas: The sta list may probably lost consistancy.");
        return -1;
    }
    return found;
}

void StaList::Print() {
    _Lock();
    printf("\nCurrent stas: %d\n", _count);
    printf(
        "   No.  |         IP        |        MAC        |     Host Name        |     Online "
        "Time\n");
    int number = 1;
    for (StaListItem* item = _head; item != nullptr; item = item->GetNext(), ++number)
        printf("%8d|%19s|%19s|%s|%s\n", number, item->GetIP(), item->GetMAC(), item->GetHostName(),
               item->GetOnlineTime());
    fflush(stdout);
    _Unlock();
}

StaListItem* StaList::_FindSta(StaListItem* key) {
    if (key == nullptr) return nullptr;
    for (StaListItem* item = _head; item != nullptr; item = item->GetNext())
        if (*item == *key) return item;
    return nullptr;
}

StaListItem* StaList::_GetFirst() { return _head; }

void StaList::_Lock() { pthread_mutex_lock(&_mutex); }

void StaList::_Unlock() { pthread_mutex_unlock(&_mutex); }
