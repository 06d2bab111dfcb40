// Blobmsg attributes into JSON text.
extern "C" {
#include "libubox/blobmsg_json.h"
}

#include <inttypes.h>

#include <string>

namespace {

class JsonWriter {
public:
    JsonWriter(blobmsg_json_format_t cb, void* priv, int indent)
        : cb_(cb), priv_(priv), indent_(indent >= 0), level_(indent >= 0 ? indent : 0) {}

    void Element(const blob_attr* attr, bool without_name) {
        if (!blobmsg_check_attr(attr, false)) return;
        const char* name = blobmsg_name(attr);
        if (!without_name && name[0] != '\0') {
            String(name);
            out_ += indent_ ? ": " : ":";
        }
        if (cb_ != nullptr) {
            const char* custom = cb_(priv_, const_cast<blob_attr*>(attr));
            if (custom != nullptr) {
                out_ += custom;
                return;
            }
        }
        Value(attr);
    }

    void List(const void* data, size_t len, bool array) {
        out_ += array ? '[' : '{';
        ++level_;
        Separator();
        bool first = true;
        const blob_attr* pos;
        size_t rem = len;
        __blob_for_each_attr(pos, data, rem) {
            if (!first) {
                out_ += ',';
                Separator();
            }
            Element(pos, array);
            first = false;
        }
        --level_;
        Separator();
        out_ += array ? ']' : '}';
    }

    char* Release() const { return strdup(out_.c_str()); }

private:
    void Value(const blob_attr* attr) {
        const void* data = blobmsg_data(attr);
        char number[64];
        switch (blobmsg_type(attr)) {
            case BLOBMSG_TYPE_UNSPEC:
                out_ += "null";
                return;
            case BLOBMSG_TYPE_BOOL:
                out_ += blobmsg_get_u8(attr) ? "true" : "false";
                return;
            case BLOBMSG_TYPE_INT16:
                snprintf(number, sizeof(number), "%d", static_cast<int16_t>(blobmsg_get_u16(attr)));
                break;
            case BLOBMSG_TYPE_INT32:
                snprintf(number, sizeof(number), "%" PRId32,
                         static_cast<int32_t>(blobmsg_get_u32(attr)));
                break;
            case BLOBMSG_TYPE_INT64:
                snprintf(number, sizeof(number), "%" PRId64,
                         static_cast<int64_t>(blobmsg_get_u64(attr)));
                break;
            case BLOBMSG_TYPE_DOUBLE:
                snprintf(number, sizeof(number), "%lf", blobmsg_get_double(attr));
                break;
            case BLOBMSG_TYPE_STRING:
                String(static_cast<const char*>(data));
                return;
            case BLOBMSG_TYPE_ARRAY:
                List(data, blobmsg_data_len(attr), true);
                return;
            case BLOBMSG_TYPE_TABLE:
                List(data, blobmsg_data_len(attr), false);
                return;
            default:
                return;
        }
        out_ += number;
    }

    void String(const char* text) {
        out_ += '"';
        for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
            switch (*p) {
                case '\b':
                    out_ += "\\b";
                    break;
                case '\n':
                    out_ += "\\n";
                    break;
                case '\t':
                    out_ += "\\t";
                    break;
                case '\r':
                    out_ += "\\r";
                    break;
                case '"':
                case '\\':
                case '/':
                    out_ += '\\';
                    out_ += static_cast<char>(*p);
                    break;
                default:
                    if (*p < ' ') {
                        char escaped[8];
                        snprintf(escaped, sizeof(escaped), "\\u%04x", *p);
                        out_ += escaped;
                    } else {
                        out_ += static_cast<char>(*p);
                    }
            }
        }
        out_ += '"';
    }

    void Separator() {
        if (!indent_) return;
        out_ += '\n';
        out_.append(static_cast<size_t>(level_), '\t');
    }

    blobmsg_json_format_t cb_;
    void* priv_;
    bool indent_;
    int level_;
    std::string out_;
};

}  // namespace

char* blobmsg_format_json_with_cb(blob_attr* attr, bool list, blobmsg_json_format_t cb, void* priv,
                                  int indent) {
    if (attr == nullptr) return nullptr;
    JsonWriter writer(cb, priv, indent);
    if (list) {
        bool array = blob_is_extended(attr) && blobmsg_type(attr) == BLOBMSG_TYPE_ARRAY;
        writer.List(blobmsg_data(attr), blobmsg_data_len(attr), array);
    } else {
        writer.Element(attr, false);
    }
    return writer.Release();
}

char* blobmsg_format_json_value_with_cb(blob_attr* attr, blobmsg_json_format_t cb, void* priv,
                                        int indent) {
    if (attr == nullptr) return nullptr;
    JsonWriter writer(cb, priv, indent);
    writer.Element(attr, true);
    return writer.Release();
}
