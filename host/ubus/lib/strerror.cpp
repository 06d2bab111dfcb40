#include <stdio.h>

#include "libubus.h"

namespace {

const char* const kStatusTexts[__UBUS_STATUS_LAST] = {
    "Success",
    "Invalid command",
    "Invalid argument",
    "Method not found",
    "Not found",
    "No response",
    "Permission denied",
    "Request timed out",
    "Operation not supported",
    "Unknown error",
    "Connection failed",
    "Out of memory",
    "Parsing message data failed",
    "System error",
};

}  // namespace

const char* ubus_strerror(int error) {
    if (error >= 0 && error < __UBUS_STATUS_LAST) return kStatusTexts[error];
    static thread_local char unknown[32];
    snprintf(unknown, sizeof(unknown), "Unknown error: %d", error);
    return unknown;
}
