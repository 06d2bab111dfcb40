/*
 * Named, typed attributes on top of blob.h. A blobmsg attribute has the extended flag set and
 * its blob id is the blobmsg type; its data begin with a 16-bit big-endian name length and the
 * zero-terminated name, padded to 4 bytes, followed by the value. A string value counts its
 * terminating zero; integers are big-endian; tables and arrays hold further attributes.
 */
#ifndef __BLOBMSG_H
#define __BLOBMSG_H

#include <stdarg.h>

#include "blob.h"

#define BLOBMSG_ALIGN 2
#define BLOBMSG_PADDING(len) (((len) + (1 << BLOBMSG_ALIGN) - 1) & ~((1 << BLOBMSG_ALIGN) - 1))

enum blobmsg_type {
    BLOBMSG_TYPE_UNSPEC,
    BLOBMSG_TYPE_ARRAY,
    BLOBMSG_TYPE_TABLE,
    BLOBMSG_TYPE_STRING,
    BLOBMSG_TYPE_INT64,
    BLOBMSG_TYPE_INT32,
    BLOBMSG_TYPE_INT16,
    BLOBMSG_TYPE_INT8,
    BLOBMSG_TYPE_DOUBLE,
    __BLOBMSG_TYPE_LAST,
    BLOBMSG_TYPE_LAST = __BLOBMSG_TYPE_LAST - 1,
    BLOBMSG_TYPE_BOOL = BLOBMSG_TYPE_INT8,
    BLOBMSG_CAST_INT64 = __BLOBMSG_TYPE_LAST,
};

struct blobmsg_hdr {
    uint16_t namelen;
    uint8_t name[];
} __packed;

struct blobmsg_policy {
    const char* name;
    enum blobmsg_type type;
};

static inline int blobmsg_hdrlen(unsigned int namelen) {
    return BLOBMSG_PADDING(sizeof(struct blobmsg_hdr) + namelen + 1);
}

static inline unsigned int blobmsg_namelen(const struct blobmsg_hdr* hdr) {
    return be16_to_cpu(hdr->namelen);
}

static inline void blobmsg_clear_name(struct blob_attr* attr) {
    struct blobmsg_hdr* hdr = (struct blobmsg_hdr*)blob_data(attr);
    hdr->name[0] = 0;
}

/* The attribute's name; "" for an attribute without one. */
static inline const char* blobmsg_name(const struct blob_attr* attr) {
    const struct blobmsg_hdr* hdr = (const struct blobmsg_hdr*)blob_data(attr);
    if (!blob_is_extended(attr)) return "";
    return (const char*)hdr->name;
}

static inline int blobmsg_type(const struct blob_attr* attr) { return (int)blob_id(attr); }

/* The value: after the name header of a blobmsg attribute, the data of a plain one. */
static inline void* blobmsg_data(const struct blob_attr* attr) {
    char* data;
    if (!attr) return NULL;
    data = (char*)blob_data(attr);
    if (blob_is_extended(attr))
        data += blobmsg_hdrlen(blobmsg_namelen((const struct blobmsg_hdr*)blob_data(attr)));
    return data;
}

static inline size_t blobmsg_data_len(const struct blob_attr* attr) {
    if (!attr) return 0;
    return blob_len(attr) - (size_t)((char*)blobmsg_data(attr) - (char*)blob_data(attr));
}

static inline size_t blobmsg_len(const struct blob_attr* attr) { return blobmsg_data_len(attr); }

/* Whether the attribute is well formed (with a non-empty name when `name` is set). */
bool blobmsg_check_attr(const struct blob_attr* attr, bool name);
bool blobmsg_check_attr_len(const struct blob_attr* attr, bool name, size_t len);
/* Number of elements of an array or table whose elements all have `type` (UNSPEC: any), or
 * -1 when one does not or the attribute is malformed. */
int blobmsg_check_array(const struct blob_attr* attr, int type);
bool blobmsg_check_attr_list(const struct blob_attr* attr, int type);

/* Fills tb[i] with the first attribute named policy[i].name of type policy[i].type; entries
 * without such an attribute stay NULL. Returns 0, -EINVAL without data, or -1 when an attribute
 * is malformed. */
int blobmsg_parse(const struct blobmsg_policy* policy, int policy_len, struct blob_attr** tb,
                  void* data, unsigned int len);
/* Like blobmsg_parse, matching the elements of an array by position. */
int blobmsg_parse_array(const struct blobmsg_policy* policy, int policy_len, struct blob_attr** tb,
                        void* data, unsigned int len);

/* Adds an attribute; returns 0, or -1 when the buffer cannot grow. */
int blobmsg_add_field(struct blob_buf* buf, int type, const char* name, const void* data,
                      unsigned int len);

static inline int blobmsg_add_double(struct blob_buf* buf, const char* name, double val) {
    uint64_t bits;
    memcpy(&bits, &val, sizeof(bits));
    bits = cpu_to_be64(bits);
    return blobmsg_add_field(buf, BLOBMSG_TYPE_DOUBLE, name, &bits, sizeof(bits));
}

static inline int blobmsg_add_u8(struct blob_buf* buf, const char* name, uint8_t val) {
    return blobmsg_add_field(buf, BLOBMSG_TYPE_INT8, name, &val, sizeof(val));
}

static inline int blobmsg_add_u16(struct blob_buf* buf, const char* name, uint16_t val) {
    val = cpu_to_be16(val);
    return blobmsg_add_field(buf, BLOBMSG_TYPE_INT16, name, &val, sizeof(val));
}

static inline int blobmsg_add_u32(struct blob_buf* buf, const char* name, uint32_t val) {
    val = cpu_to_be32(val);
    return blobmsg_add_field(buf, BLOBMSG_TYPE_INT32, name, &val, sizeof(val));
}

static inline int blobmsg_add_u64(struct blob_buf* buf, const char* name, uint64_t val) {
    val = cpu_to_be64(val);
    return blobmsg_add_field(buf, BLOBMSG_TYPE_INT64, name, &val, sizeof(val));
}

static inline int blobmsg_add_string(struct blob_buf* buf, const char* name, const char* string) {
    return blobmsg_add_field(buf, BLOBMSG_TYPE_STRING, name, string, strlen(string) + 1);
}

/* Copies a blobmsg attribute (name, type and value) into the buffer. */
static inline int blobmsg_add_blob(struct blob_buf* buf, const struct blob_attr* attr) {
    return blobmsg_add_field(buf, blobmsg_type(attr), blobmsg_name(attr), blobmsg_data(attr),
                             blobmsg_data_len(attr));
}

/* Opens a table or array; later additions go into it until the matching close. Returns the
 * cookie for blob_nest_end, or NULL when the buffer cannot grow. */
void* blobmsg_open_nested(struct blob_buf* buf, const char* name, bool array);

static inline void* blobmsg_open_array(struct blob_buf* buf, const char* name) {
    return blobmsg_open_nested(buf, name, true);
}

static inline void* blobmsg_open_table(struct blob_buf* buf, const char* name) {
    return blobmsg_open_nested(buf, name, false);
}

static inline void blobmsg_close_array(struct blob_buf* buf, void* cookie) {
    blob_nest_end(buf, cookie);
}

static inline void blobmsg_close_table(struct blob_buf* buf, void* cookie) {
    blob_nest_end(buf, cookie);
}

static inline int blobmsg_buf_init(struct blob_buf* buf) {
    return blob_buf_init(buf, BLOBMSG_TYPE_TABLE);
}

int blobmsg_vprintf(struct blob_buf* buf, const char* name, const char* format, va_list arg);
int blobmsg_printf(struct blob_buf* buf, const char* name, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

static inline uint8_t blobmsg_get_u8(const struct blob_attr* attr) {
    return *(uint8_t*)blobmsg_data(attr);
}

static inline bool blobmsg_get_bool(const struct blob_attr* attr) {
    return blobmsg_get_u8(attr) != 0;
}

static inline uint16_t blobmsg_get_u16(const struct blob_attr* attr) {
    uint16_t raw;
    memcpy(&raw, blobmsg_data(attr), sizeof(raw));
    return be16_to_cpu(raw);
}

static inline uint32_t blobmsg_get_u32(const struct blob_attr* attr) {
    uint32_t raw;
    memcpy(&raw, blobmsg_data(attr), sizeof(raw));
    return be32_to_cpu(raw);
}

static inline uint64_t blobmsg_get_u64(const struct blob_attr* attr) {
    uint64_t raw;
    memcpy(&raw, blobmsg_data(attr), sizeof(raw));
    return be64_to_cpu(raw);
}

static inline double blobmsg_get_double(const struct blob_attr* attr) {
    uint64_t bits = blobmsg_get_u64(attr);
    double val;
    memcpy(&val, &bits, sizeof(val));
    return val;
}

static inline char* blobmsg_get_string(const struct blob_attr* attr) {
    if (!attr) return NULL;
    return (char*)blobmsg_data(attr);
}

/* Walks the attributes inside the value of the table, array or plain attribute `attr`. */
#define blobmsg_for_each_attr(pos, attr, rem)                           \
    for (rem = (attr) ? blobmsg_data_len(attr) : 0,                     \
        pos = (struct blob_attr*)((attr) ? blobmsg_data(attr) : NULL);  \
         rem >= sizeof(struct blob_attr) && blob_pad_len(pos) <= rem && \
         blob_pad_len(pos) >= sizeof(struct blob_attr);                 \
         rem -= blob_pad_len(pos), pos = blob_next(pos))

#endif
