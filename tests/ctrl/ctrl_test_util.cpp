#include "tests/ctrl/ctrl_test_util.h"

#include <filesystem>

std::string Request(wpa_ctrl* ctrl, const std::string& command, int* result,
                    void (*msg_cb)(char*, size_t), size_t room) {
    std::vector<char> reply(room + 1);
    size_t len = room;
    *result = wpa_ctrl_request(ctrl, command.data(), command.size(), reply.data(), &len, msg_cb);
    return *result == 0 ? std::string(reply.data(), len) : std::string();
}

std::vector<std::string> LocalSocketFiles() {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("wpa_ctrl_", 0) == 0) found.push_back(entry.path().string());
    }
    return found;
}
