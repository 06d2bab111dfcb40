#include "message.h"

namespace ubus_standin {

Message::Message(const blob_attr* msg) {
    if (msg == nullptr) {
        words_.assign(1, 0);
        Attr()->id_len = cpu_to_be32(sizeof(blob_attr));
        return;
    }
    size_t padded = blob_pad_len(msg);
    words_.assign(padded / sizeof(uint32_t), 0);
    memcpy(words_.data(), msg, blob_raw_len(msg));
}

}  // namespace ubus_standin
