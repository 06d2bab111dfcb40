/* Conversion between blobmsg buffers and JSON text (json-c). */
#ifndef __BLOBMSG_JSON_H
#define __BLOBMSG_JSON_H

#include <json-c/json.h>
#include <stdbool.h>

#include "blobmsg.h"

/* Add the members of a JSON object, or one JSON value under `name`, to the buffer. JSON
 * integers become int32 attributes when they fit and int64 otherwise; booleans int8. */
bool blobmsg_add_object(struct blob_buf* b, json_object* obj);
bool blobmsg_add_json_element(struct blob_buf* b, const char* name, json_object* obj);
/* Parse a JSON object and add its members; false for invalid JSON or a value that is not an
 * object. */
bool blobmsg_add_json_from_string(struct blob_buf* b, const char* str);
bool blobmsg_add_json_from_file(struct blob_buf* b, const char* file);

/* Returns replacement text for an attribute's value, or NULL for the default formatting. */
typedef const char* (*blobmsg_json_format_t)(void* priv, struct blob_attr* attr);

/* Formats JSON into a malloc'd text (the caller frees it). With `list`, the attributes inside
 * `attr` form a JSON object (an array when `attr` is a blobmsg array); otherwise `attr` itself
 * is written with its name. indent < 0 gives compact text. */
char* blobmsg_format_json_with_cb(struct blob_attr* attr, bool list, blobmsg_json_format_t cb,
                                  void* priv, int indent);
/* Formats only the value of `attr`. */
char* blobmsg_format_json_value_with_cb(struct blob_attr* attr, blobmsg_json_format_t cb,
                                        void* priv, int indent);

static inline char* blobmsg_format_json(struct blob_attr* attr, bool list) {
    return blobmsg_format_json_with_cb(attr, list, NULL, NULL, -1);
}

static inline char* blobmsg_format_json_indent(struct blob_attr* attr, bool list, int indent) {
    return blobmsg_format_json_with_cb(attr, list, NULL, NULL, indent);
}

static inline char* blobmsg_format_json_value(struct blob_attr* attr) {
    return blobmsg_format_json_value_with_cb(attr, NULL, NULL, -1);
}

static inline char* blobmsg_format_json_value_indent(struct blob_attr* attr, int indent) {
    return blobmsg_format_json_value_with_cb(attr, NULL, NULL, indent);
}

#endif
