#ifndef WLAN_TESTS_CTRL_CTRL_TEST_UTIL_H
#define WLAN_TESTS_CTRL_CTRL_TEST_UTIL_H

#include <string>
#include <vector>

#include "wpa_ctrl.h"

// Sends a command text and returns the reply text; *result receives the request's result.
std::string Request(wpa_ctrl* ctrl, const std::string& command, int* result,
                    void (*msg_cb)(char*, size_t) = nullptr, size_t room = 4096);

// The client socket files under /tmp ("wpa_ctrl_*").
std::vector<std::string> LocalSocketFiles();

#endif
