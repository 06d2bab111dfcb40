// JSON text (json-c) into blobmsg attributes.
extern "C" {
#include "libubox/blobmsg_json.h"
}

#include <stdint.h>

namespace {

bool AddArrayElements(blob_buf* b, json_object* array) {
    size_t count = json_object_array_length(array);
    for (size_t i = 0; i < count; ++i)
        if (!blobmsg_add_json_element(b, nullptr, json_object_array_get_idx(array, i)))
            return false;
    return true;
}

// Takes ownership of `obj` (a parse result, possibly NULL).
bool AddParsedObject(blob_buf* b, json_object* obj) {
    if (obj == nullptr) return false;
    bool ok = json_object_get_type(obj) == json_type_object && blobmsg_add_object(b, obj);
    json_object_put(obj);
    return ok;
}

}  // namespace

bool blobmsg_add_object(blob_buf* b, json_object* obj) {
    bool ok = true;
    json_object_object_foreach(obj, key, val) {
        if (ok && !blobmsg_add_json_element(b, key, val)) ok = false;
    }
    return ok;
}

bool blobmsg_add_json_element(blob_buf* b, const char* name, json_object* obj) {
    void* cookie = nullptr;
    bool ok = true;
    switch (json_object_get_type(obj)) {
        case json_type_object:
            cookie = blobmsg_open_table(b, name);
            if (cookie == nullptr) return false;
            ok = blobmsg_add_object(b, obj);
            blobmsg_close_table(b, cookie);
            return ok;
        case json_type_array:
            cookie = blobmsg_open_array(b, name);
            if (cookie == nullptr) return false;
            ok = AddArrayElements(b, obj);
            blobmsg_close_array(b, cookie);
            return ok;
        case json_type_string:
            return blobmsg_add_string(b, name, json_object_get_string(obj)) == 0;
        case json_type_boolean:
            return blobmsg_add_u8(b, name, json_object_get_boolean(obj) ? 1 : 0) == 0;
        case json_type_int: {
            int64_t value = json_object_get_int64(obj);
            if (value >= INT32_MIN && value <= INT32_MAX)
                return blobmsg_add_u32(b, name, static_cast<uint32_t>(value)) == 0;
            return blobmsg_add_u64(b, name, static_cast<uint64_t>(value)) == 0;
        }
        case json_type_double:
            return blobmsg_add_double(b, name, json_object_get_double(obj)) == 0;
        case json_type_null:
            return blobmsg_add_field(b, BLOBMSG_TYPE_UNSPEC, name, nullptr, 0) == 0;
    }
    return false;
}

bool blobmsg_add_json_from_string(blob_buf* b, const char* str) {
    if (str == nullptr) return false;
    return AddParsedObject(b, json_tokener_parse(str));
}

bool blobmsg_add_json_from_file(blob_buf* b, const char* file) {
    return AddParsedObject(b, json_object_from_file(file));
}
