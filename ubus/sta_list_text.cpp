#include "ubus/sta_list_text.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sta_list.h"
#include "util/json_string.h"

namespace {

// The longest texts a StaListItem keeps in its fields.
constexpr size_t kIpMax = 15;
constexpr size_t kMacMax = 17;
constexpr size_t kNameMax = 64;
constexpr size_t kOnlineTimeMax = 8;

constexpr char kIpOpen[] = "{\"ip\":\"";
constexpr char kMacOpen[] = "\",\"mac\":\"";
constexpr char kNameOpen[] = "\",\"name\":\"";
constexpr char kOnlineTimeOpen[] = "\",\"onlineTime\":\"";
constexpr char kEntryClose[] = "\"}";

// One entry with every byte of its longest fields escaped at the most, and its separator.
constexpr size_t kEntryMax = sizeof(kIpOpen) - 1 + sizeof(kMacOpen) - 1 + sizeof(kNameOpen) - 1 +
                             sizeof(kOnlineTimeOpen) - 1 + sizeof(kEntryClose) - 1 +
                             kJsonEscapedMax * (kIpMax + kMacMax + kNameMax + kOnlineTimeMax) + 1;
// The head with any count, the closing "]}" and the terminating zero.
constexpr size_t kFrameMax = 32;

// Appends to a buffer of fixed size, never past its end.
class TextWriter {
public:
    TextWriter(char* text, size_t size) : text_(text), size_(size) { text_[0] = '\0'; }

    void Put(const char* piece) {
        size_t length = strlen(piece);
        if (length >= size_ - used_) length = size_ - used_ - 1;
        memcpy(text_ + used_, piece, length);
        used_ += length;
        text_[used_] = '\0';
    }
    void PutEscaped(const char* field, size_t max) {
        used_ += json_escape(text_ + used_, size_ - used_, field, max);
    }

private:
    char* text_;
    size_t size_;
    size_t used_ = 0;
};

}  // namespace

char* sta_list_text(StaList* list, int32_t n) {
    if (n < 0) n = 0;
    const size_t size = kEntryMax * static_cast<size_t>(n) + kFrameMax;
    char* text = static_cast<char*>(malloc(size));
    if (text == nullptr) return nullptr;
    TextWriter writer(text, size);
    char head[kFrameMax];
    snprintf(head, sizeof(head), "{\"num\":%d,\"list\":[", static_cast<int>(n));
    writer.Put(head);

    list->_Lock();
    int32_t written = 0;
    for (StaListItem* item = list->_GetFirst(); item != nullptr && written < n;
         item = item->GetNext()) {
        const char* name = item->GetHostName();
        if (name == nullptr || name[0] == '\0') name = item->GetRecentHostName();
        writer.Put(kIpOpen);
        writer.PutEscaped(item->GetIP(), kIpMax);
        writer.Put(kMacOpen);
        writer.PutEscaped(item->GetMAC(), kMacMax);
        writer.Put(kNameOpen);
        writer.PutEscaped(name, kNameMax);
        writer.Put(kOnlineTimeOpen);
        writer.PutEscaped(item->GetOnlineTime(), kOnlineTimeMax);
        writer.Put(kEntryClose);
        ++written;
        if (item->GetNext() != nullptr && written < n) writer.Put(",");
    }
    list->_Unlock();

    writer.Put("]}");
    return text;
}
