// Blob buffers: growth, attribute headers, nesting and type checks.
extern "C" {
#include "libubox/blob.h"
}

#include <stdint.h>

namespace {

constexpr int kGrowStep = 256;

size_t OffsetOf(const blob_buf* buf, const void* at) {
    return static_cast<size_t>(static_cast<const char*>(at) - static_cast<const char*>(buf->buf));
}

blob_attr* AttrAt(const blob_buf* buf, size_t offset) {
    return reinterpret_cast<blob_attr*>(static_cast<char*>(buf->buf) + offset);
}

size_t Padded(size_t len) { return (len + BLOB_ATTR_ALIGN - 1) & ~size_t{BLOB_ATTR_ALIGN - 1}; }

void InitHeader(blob_attr* attr, int id, size_t raw_len) {
    uint32_t word = ((static_cast<uint32_t>(id) << BLOB_ATTR_ID_SHIFT) & BLOB_ATTR_ID_MASK) |
                    (static_cast<uint32_t>(raw_len) & BLOB_ATTR_LEN_MASK);
    attr->id_len = cpu_to_be32(word);
}

// Default growth: whole steps of 256 bytes, new bytes zeroed.
bool GrowByRealloc(blob_buf* buf, int minlen) {
    int delta = (minlen / kGrowStep + 1) * kGrowStep;
    void* grown = realloc(buf->buf, static_cast<size_t>(buf->buflen) + delta);
    if (grown == nullptr) return false;
    memset(static_cast<char*>(grown) + buf->buflen, 0, delta);
    buf->buf = grown;
    buf->buflen += delta;
    return true;
}

// Makes room for `size` bytes from the start of the buffer.
bool EnsureCapacity(blob_buf* buf, size_t size) {
    if (size <= static_cast<size_t>(buf->buflen)) return true;
    return blob_buf_grow(buf, static_cast<int>(size - buf->buflen));
}

}  // namespace

void blob_fill_pad(blob_attr* attr) {
    size_t raw = blob_raw_len(attr);
    size_t padded = blob_pad_len(attr);
    if (padded > raw) memset(reinterpret_cast<char*>(attr) + raw, 0, padded - raw);
}

void blob_set_raw_len(blob_attr* attr, unsigned int len) {
    uint32_t word = be32_to_cpu(attr->id_len);
    word = (word & ~static_cast<uint32_t>(BLOB_ATTR_LEN_MASK)) | (len & BLOB_ATTR_LEN_MASK);
    attr->id_len = cpu_to_be32(word);
}

bool blob_attr_equal(const blob_attr* a1, const blob_attr* a2) {
    if (a1 == nullptr || a2 == nullptr) return a1 == a2;
    if (blob_raw_len(a1) != blob_raw_len(a2)) return false;
    return memcmp(a1, a2, blob_raw_len(a1)) == 0;
}

bool blob_buf_grow(blob_buf* buf, int required) {
    if (required <= 0) return true;
    if (static_cast<long>(buf->buflen) + required > BLOB_ATTR_LEN_MASK) return false;
    bool had_head = buf->head != nullptr;
    size_t head_offset = had_head ? OffsetOf(buf, buf->head) : 0;
    if (buf->grow == nullptr || !buf->grow(buf, required)) return false;
    if (had_head) buf->head = AttrAt(buf, head_offset);
    return true;
}

int blob_buf_init(blob_buf* buf, int id) {
    if (buf->grow == nullptr) buf->grow = GrowByRealloc;
    buf->head = nullptr;
    if (!EnsureCapacity(buf, sizeof(blob_attr))) return -ENOMEM;
    buf->head = static_cast<blob_attr*>(buf->buf);
    InitHeader(buf->head, id, sizeof(blob_attr));
    return 0;
}

void blob_buf_free(blob_buf* buf) {
    free(buf->buf);
    buf->buf = nullptr;
    buf->head = nullptr;
    buf->buflen = 0;
}

blob_attr* blob_new(blob_buf* buf, int id, int payload) {
    if (buf->head == nullptr || payload < 0) return nullptr;
    size_t offset = OffsetOf(buf, blob_next(buf->head));
    size_t raw = sizeof(blob_attr) + static_cast<size_t>(payload);
    if (!EnsureCapacity(buf, offset + Padded(raw))) return nullptr;
    blob_attr* attr = AttrAt(buf, offset);
    InitHeader(attr, id, raw);
    blob_fill_pad(attr);
    blob_set_raw_len(buf->head, blob_pad_len(buf->head) + blob_pad_len(attr));
    return attr;
}

// Cookies are offsets of the enclosing head (plus BLOB_COOKIE, so never NULL): the buffer may
// move while the nested attribute grows.
void* blob_nest_start(blob_buf* buf, int id) {
    size_t parent = OffsetOf(buf, buf->head);
    blob_attr* attr = blob_new(buf, id, 0);
    if (attr == nullptr) return nullptr;
    buf->head = attr;
    return reinterpret_cast<void*>(static_cast<uintptr_t>(parent + BLOB_COOKIE));
}

// The parent already counts the nested attribute's header; add what was put inside it.
void blob_nest_end(blob_buf* buf, void* cookie) {
    blob_attr* parent = AttrAt(buf, reinterpret_cast<uintptr_t>(cookie) - BLOB_COOKIE);
    blob_set_raw_len(parent, blob_pad_len(parent) + blob_len(buf->head));
    buf->head = parent;
}

blob_attr* blob_put(blob_buf* buf, int id, const void* ptr, unsigned int len) {
    blob_attr* attr = blob_new(buf, id, static_cast<int>(len));
    if (attr == nullptr) return nullptr;
    if (len > 0) memcpy(blob_data(attr), ptr, len);
    return attr;
}

blob_attr* blob_put_raw(blob_buf* buf, const void* ptr, unsigned int len) {
    if (ptr == nullptr || len < sizeof(blob_attr) || buf->head == nullptr) return nullptr;
    size_t offset = OffsetOf(buf, blob_next(buf->head));
    if (!EnsureCapacity(buf, offset + Padded(len))) return nullptr;
    blob_attr* attr = AttrAt(buf, offset);
    memcpy(attr, ptr, len);
    memset(reinterpret_cast<char*>(attr) + len, 0, Padded(len) - len);
    blob_set_raw_len(buf->head, blob_pad_len(buf->head) + Padded(len));
    return attr;
}

bool blob_check_type(const void* ptr, unsigned int len, int type) {
    const char* data = static_cast<const char*>(ptr);
    switch (type) {
        case BLOB_ATTR_STRING:
            return len > 0 && data[len - 1] == '\0';
        case BLOB_ATTR_INT8:
            return len == 1;
        case BLOB_ATTR_INT16:
            return len == 2;
        case BLOB_ATTR_INT32:
            return len == 4;
        case BLOB_ATTR_INT64:
        case BLOB_ATTR_DOUBLE:
            return len == 8;
        default:
            return true;
    }
}

blob_attr* blob_memdup(blob_attr* attr) {
    size_t size = blob_pad_len(attr);
    auto* copy = static_cast<blob_attr*>(malloc(size));
    if (copy == nullptr) return nullptr;
    memcpy(copy, attr, blob_raw_len(attr));
    blob_fill_pad(copy);
    return copy;
}
