// Owned copies of blob messages as they travel between contexts.
#ifndef UBUS_STANDIN_MESSAGE_H
#define UBUS_STANDIN_MESSAGE_H

extern "C" {
#include <libubox/blob.h>
}

#include <vector>

namespace ubus_standin {

// A whole blob attribute (header, data, padding); an empty table when `msg` is NULL.
class Message {
public:
    explicit Message(const blob_attr* msg = nullptr);
    blob_attr* Attr() { return reinterpret_cast<blob_attr*>(words_.data()); }

private:
    std::vector<uint32_t> words_;  // keeps the attribute 4-byte aligned
};

}  // namespace ubus_standin

#endif
