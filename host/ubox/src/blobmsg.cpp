// Blobmsg attributes: building (fields, tables, arrays), checking and parsing against policies.
extern "C" {
#include "libubox/blobmsg.h"
}

#include <stdint.h>

#include <string>

namespace {

// Deeper nesting than this is treated as malformed, so that checking cannot exhaust the stack.
constexpr int kMaxDepth = 256;

int BlobTypeOf(int blobmsg_type) {
    switch (blobmsg_type) {
        case BLOBMSG_TYPE_STRING:
            return BLOB_ATTR_STRING;
        case BLOBMSG_TYPE_INT8:
            return BLOB_ATTR_INT8;
        case BLOBMSG_TYPE_INT16:
            return BLOB_ATTR_INT16;
        case BLOBMSG_TYPE_INT32:
            return BLOB_ATTR_INT32;
        case BLOBMSG_TYPE_INT64:
            return BLOB_ATTR_INT64;
        case BLOBMSG_TYPE_DOUBLE:
            return BLOB_ATTR_DOUBLE;
        default:
            return BLOB_ATTR_UNSPEC;
    }
}

const blobmsg_hdr* HeaderOf(const blob_attr* attr) {
    return static_cast<const blobmsg_hdr*>(blob_data(attr));
}

// Appends an attribute with its name header and room for `payload` bytes of value.
blob_attr* NewField(blob_buf* buf, int type, const char* name, unsigned int payload, void** value) {
    if (name == nullptr) name = "";
    size_t namelen = strlen(name);
    if (namelen > UINT16_MAX) return nullptr;
    int hdrlen = blobmsg_hdrlen(static_cast<unsigned>(namelen));
    blob_attr* attr = blob_new(buf, type, hdrlen + static_cast<int>(payload));
    if (attr == nullptr) return nullptr;
    attr->id_len |= cpu_to_be32(BLOB_ATTR_EXTENDED);
    auto* hdr = static_cast<blobmsg_hdr*>(blob_data(attr));
    hdr->namelen = cpu_to_be16(static_cast<uint16_t>(namelen));
    memcpy(hdr->name, name, namelen);
    memset(hdr->name + namelen, 0, hdrlen - sizeof(blobmsg_hdr) - namelen);
    *value = static_cast<char*>(blob_data(attr)) + hdrlen;
    return attr;
}

bool CheckName(const blob_attr* attr, bool need_name) {
    if (!blob_is_extended(attr)) return !need_name;
    if (blob_len(attr) < sizeof(blobmsg_hdr)) return false;
    unsigned namelen = blobmsg_namelen(HeaderOf(attr));
    if (need_name && namelen == 0) return false;
    if (blob_len(attr) < static_cast<size_t>(blobmsg_hdrlen(namelen))) return false;
    return HeaderOf(attr)->name[namelen] == '\0';
}

bool CheckAttr(const blob_attr* attr, bool need_name, size_t room, int depth);

// Elements of a table need names; elements of an array may have none.
bool CheckList(const void* data, size_t len, bool names, int depth) {
    if (depth > kMaxDepth) return false;
    const auto* pos = static_cast<const blob_attr*>(data);
    size_t rem = len;
    while (rem > 0) {
        if (!CheckAttr(pos, names, rem, depth)) return false;
        size_t step = blob_pad_len(pos);
        if (step > rem) return false;
        rem -= step;
        pos = blob_next(pos);
    }
    return true;
}

bool CheckAttr(const blob_attr* attr, bool need_name, size_t room, int depth) {
    if (room < sizeof(blob_attr)) return false;
    size_t raw = blob_raw_len(attr);
    if (raw < sizeof(blob_attr) || raw > room) return false;
    if (!CheckName(attr, need_name)) return false;
    int type = blobmsg_type(attr);
    if (type > BLOBMSG_TYPE_LAST) return false;
    const void* value = blobmsg_data(attr);
    size_t len = blobmsg_data_len(attr);
    if (type == BLOBMSG_TYPE_ARRAY || type == BLOBMSG_TYPE_TABLE)
        return CheckList(value, len, type == BLOBMSG_TYPE_TABLE, depth + 1);
    if (type == BLOBMSG_TYPE_UNSPEC) return true;
    return blob_check_type(value, static_cast<unsigned>(len), BlobTypeOf(type));
}

bool TypeMatches(const blobmsg_policy& policy, int type) {
    if (policy.type == BLOBMSG_TYPE_UNSPEC) return true;
    if (policy.type == BLOBMSG_CAST_INT64)
        return type == BLOBMSG_TYPE_INT64 || type == BLOBMSG_TYPE_INT32 ||
               type == BLOBMSG_TYPE_INT16 || type == BLOBMSG_TYPE_INT8;
    return policy.type == type;
}

}  // namespace

bool blobmsg_check_attr_len(const blob_attr* attr, bool name, size_t len) {
    return CheckAttr(attr, name, len, 0);
}

bool blobmsg_check_attr(const blob_attr* attr, bool name) {
    return CheckAttr(attr, name, blob_raw_len(attr), 0);
}

int blobmsg_check_array(const blob_attr* attr, int type) {
    if (!blobmsg_check_attr(attr, false)) return -1;
    int kind = blobmsg_type(attr);
    if (kind != BLOBMSG_TYPE_ARRAY && kind != BLOBMSG_TYPE_TABLE) return -1;
    int count = 0;
    const blob_attr* pos;
    size_t rem;
    blobmsg_for_each_attr(pos, attr, rem) {
        if (type != BLOBMSG_TYPE_UNSPEC && blobmsg_type(pos) != type) return -1;
        ++count;
    }
    return count;
}

bool blobmsg_check_attr_list(const blob_attr* attr, int type) {
    return blobmsg_check_array(attr, type) >= 0;
}

int blobmsg_parse(const blobmsg_policy* policy, int policy_len, blob_attr** tb, void* data,
                  unsigned int len) {
    if (policy_len > 0) memset(tb, 0, sizeof(*tb) * static_cast<size_t>(policy_len));
    if (data == nullptr || len == 0) return -EINVAL;
    blob_attr* pos;
    size_t rem = len;
    __blob_for_each_attr(pos, data, rem) {
        if (!blob_is_extended(pos)) continue;
        if (!CheckName(pos, false)) return -1;
        const char* name = blobmsg_name(pos);
        for (int i = 0; i < policy_len; ++i) {
            if (policy[i].name == nullptr || !TypeMatches(policy[i], blobmsg_type(pos))) continue;
            if (strcmp(policy[i].name, name) != 0) continue;
            if (!blobmsg_check_attr(pos, true)) return -1;
            if (tb[i] == nullptr) tb[i] = pos;
        }
    }
    return 0;
}

int blobmsg_parse_array(const blobmsg_policy* policy, int policy_len, blob_attr** tb, void* data,
                        unsigned int len) {
    if (policy_len > 0) memset(tb, 0, sizeof(*tb) * static_cast<size_t>(policy_len));
    if (data == nullptr || len == 0) return -EINVAL;
    blob_attr* pos;
    size_t rem = len;
    int index = 0;
    __blob_for_each_attr(pos, data, rem) {
        if (index == policy_len) break;
        if (TypeMatches(policy[index], blobmsg_type(pos))) {
            if (!blobmsg_check_attr(pos, false)) return -1;
            tb[index] = pos;
        }
        ++index;
    }
    return 0;
}

int blobmsg_add_field(blob_buf* buf, int type, const char* name, const void* data,
                      unsigned int len) {
    void* value = nullptr;
    if (NewField(buf, type, name, len, &value) == nullptr) return -1;
    if (len > 0) memcpy(value, data, len);
    return 0;
}

// The new attribute's name header stays out of the parent's length until blob_nest_end adds
// the whole data of the nested attribute (header included).
void* blobmsg_open_nested(blob_buf* buf, const char* name, bool array) {
    if (name == nullptr) name = "";
    size_t parent =
        static_cast<size_t>(reinterpret_cast<char*>(buf->head) - static_cast<char*>(buf->buf));
    void* value = nullptr;
    blob_attr* attr =
        NewField(buf, array ? BLOBMSG_TYPE_ARRAY : BLOBMSG_TYPE_TABLE, name, 0, &value);
    if (attr == nullptr) return nullptr;
    blob_set_raw_len(buf->head, static_cast<unsigned>(blob_pad_len(buf->head)) -
                                    blobmsg_hdrlen(static_cast<unsigned>(strlen(name))));
    buf->head = attr;
    return reinterpret_cast<void*>(static_cast<uintptr_t>(parent + BLOB_COOKIE));
}

int blobmsg_vprintf(blob_buf* buf, const char* name, const char* format, va_list arg) {
    va_list copy;
    va_copy(copy, arg);
    int len = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (len < 0) return -1;
    std::string text(static_cast<size_t>(len) + 1, '\0');
    vsnprintf(&text[0], text.size(), format, arg);
    if (blobmsg_add_field(buf, BLOBMSG_TYPE_STRING, name, text.data(),
                          static_cast<unsigned>(text.size())) != 0)
        return -1;
    return len;
}

int blobmsg_printf(blob_buf* buf, const char* name, const char* format, ...) {
    va_list arg;
    va_start(arg, format);
    int len = blobmsg_vprintf(buf, name, format, arg);
    va_end(arg);
    return len;
}
