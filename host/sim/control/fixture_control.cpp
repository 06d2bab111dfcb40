// Scan and connection fixtures of the station interface.
#include <errno.h>
#include <string.h>
#include <unistd.h>

#include "control/control.h"
#include "core/paths.h"
#include "core/state_store.h"

namespace sim {
namespace {

// The text of FILE, or of standard input for "-".
bool ReadSource(const std::string& source, std::string* text, std::string* error) {
    if (source != "-") {
        if (ReadWholeFile(source, text)) return true;
        *error = "cannot read " + source + ": " + strerror(errno);
        return false;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(STDIN_FILENO, buffer, sizeof(buffer))) != 0) {
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = std::string("cannot read standard input: ") + strerror(errno);
            return false;
        }
        text->append(buffer, static_cast<size_t>(n));
    }
    return true;
}

int LoadFixture(ControlCall& call, const char* path) {
    if (call.args.size() != 1) return call.Fail("expected FILE (or - for standard input)");
    std::string text, error;
    if (!ReadSource(call.args[0], &text, &error) || !ReplaceStateFile(path, text, &error))
        return call.Fail(error);
    return 0;
}

int ClearFixture(ControlCall& call, const char* path) {
    if (!call.args.empty()) return call.Fail("too many arguments");
    if (unlink(path) != 0 && errno != ENOENT)
        return call.Fail(std::string("cannot remove ") + path + ": " + strerror(errno));
    return 0;
}

}  // namespace

int LoadScanResults(ControlCall& call) { return LoadFixture(call, kScanFixture); }

int ClearScanResults(ControlCall& call) { return ClearFixture(call, kScanFixture); }

int LoadConnectedInfo(ControlCall& call) { return LoadFixture(call, kConnectedFixture); }

int ClearConnectedInfo(ControlCall& call) { return ClearFixture(call, kConnectedFixture); }

int SetScanStatus(ControlCall& call) {
    if (call.args.empty()) return call.Fail("expected one or more status values");
    for (const std::string& value : call.args)
        if (value.find('\n') != std::string::npos) return call.Fail("a status is one line");
    call.state.scan_status = call.args;
    return 0;
}

}  // namespace sim
