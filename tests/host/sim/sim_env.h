#ifndef WLAN_TESTS_HOST_SIM_ENV_H
#define WLAN_TESTS_HOST_SIM_ENV_H

#include <string>
#include <vector>

#include "tests/support/sandbox.h"

// Helpers for driving the device simulator inside the sandbox.
namespace simenv {

struct Result {
    int status = -1;  // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a shell command line and captures both output streams.
Result Sh(const std::string& command_line);

// The station-mode switch that bcmwlan_ap1.sh reads through "uci get"; installs a small uci
// stand-in when the sandbox has no uci command.
void SetStationMode(bool on);

// The lines of a text, without their line breaks.
std::vector<std::string> Lines(const std::string& text);

// A radio script laid out like the generated access-point script. `channels` is the autochannel
// candidate list ("" for the plain form); `extra` is placed just before the final "${WL} up".
struct ApScriptOptions {
    std::string ssid_line = "${WL} ssid \"Sim AP\"";
    std::string channels = "1l,6u,11u,";
    std::string band = "b";
    std::string extra;
};
std::string ApScript(const ApScriptOptions& options = {});
// A radio script laid out like the generated access-point-plus-station script (without the
// final supplicant start).
std::string ApStaScript();

// Writes an executable script.
void WriteScript(const std::string& path, const std::string& text);

constexpr const char* kApScript = "/usr/bin/bcmApSet.sh";
constexpr const char* kApStaScript = "/usr/bin/bcmApStaSet.sh";

}  // namespace simenv

#endif
