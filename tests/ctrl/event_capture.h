#ifndef WLAN_TESTS_CTRL_EVENT_CAPTURE_H
#define WLAN_TESTS_CTRL_EVENT_CAPTURE_H

#include <string.h>

#include <string>
#include <vector>

// Message callback for wpa_ctrl_request that keeps what it was given.
namespace events {

struct Event {
    std::string text;  // up to the terminator, so an unterminated text shows as a length mismatch
    size_t len;        // the length the callback was given
};

inline std::vector<Event>& Seen() {
    static std::vector<Event> seen;
    return seen;
}

inline void Capture(char* msg, size_t len) { Seen().push_back({std::string(msg), len}); }

inline std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const Event& e : Seen()) texts.push_back(e.text);
    return texts;
}

}  // namespace events

#endif
