#include "control/control.h"

#include <errno.h>
#include <string.h>
#include <unistd.h>

#include "core/paths.h"
#include "core/state_store.h"

namespace sim {
namespace {

struct ControlEntry {
    const char* group;
    const char* verb;  // null: the command is the group word alone
    ControlHandler handler;
};

constexpr ControlEntry kControls[] = {
    {"sta", "add", AddStations},
    {"sta", "auth", AuthorizeStations},
    {"sta", "del", RemoveStations},
    {"sta", "clear", ClearStations},
    {"fault", "fail", FailCommand},
    {"fault", "silent", SilenceCommand},
    {"fault", "clear", ClearFaults},
    {"autochannel", "failures", SetSelectionFailures},
    {"autochannel", "pick", SetPreferredChannel},
    {"scan", "load", LoadScanResults},
    {"scan", "clear", ClearScanResults},
    {"scan", "status", SetScanStatus},
    {"connected", "load", LoadConnectedInfo},
    {"connected", "clear", ClearConnectedInfo},
    {"get", nullptr, ShowSetting},
    {"show", nullptr, ShowState},
    {"reset", nullptr, ResetState},
};

constexpr const char* kUsage =
    "usage: wlarm-sim sta add|auth|del MAC... | sta clear\n"
    "       wlarm-sim fault fail|silent SUBCOMMAND [COUNT] | fault clear [SUBCOMMAND]\n"
    "       wlarm-sim autochannel failures N | autochannel pick CHANNEL|none\n"
    "       wlarm-sim scan load FILE|- | scan clear | scan status VALUE...\n"
    "       wlarm-sim connected load FILE|- | connected clear\n"
    "       wlarm-sim get KEY | show | reset\n";

// Finds the entry for the command line and how many words name it.
const ControlEntry* FindControl(const std::vector<std::string>& args, size_t* words) {
    for (const ControlEntry& entry : kControls) {
        if (args.empty() || args[0] != entry.group) continue;
        if (entry.verb == nullptr) {
            *words = 1;
            return &entry;
        }
        if (args.size() > 1 && args[1] == entry.verb) {
            *words = 2;
            return &entry;
        }
    }
    return nullptr;
}

RunResult Failure(const std::string& message) {
    RunResult result;
    result.status = 1;
    result.err = "wlarm-sim: " + message + "\n";
    return result;
}

}  // namespace

RunResult RunControl(const std::vector<std::string>& args) {
    size_t words = 0;
    const ControlEntry* entry = FindControl(args, &words);
    if (entry == nullptr) return Failure(std::string("unknown command\n") + kUsage);
    std::string error;
    StateLock lock;
    RadioState state;
    if (!lock.Acquire(&error) || !LoadState(&state, &error)) return Failure(error);
    ControlCall call{state,
                     std::vector<std::string>(args.begin() + static_cast<long>(words), args.end()),
                     "", ""};
    RunResult result;
    result.status = entry->handler(call);
    if (result.status != 0) return Failure(call.error);
    if (!SaveState(state, &error)) return Failure(error);
    result.out = call.out;
    return result;
}

int ShowSetting(ControlCall& call) {
    if (call.args.size() != 1) return call.Fail("expected KEY");
    if (!call.state.Has(call.args[0])) return call.Fail(call.args[0] + " is not set");
    call.out = call.state.Get(call.args[0]) + "\n";
    return 0;
}

int ShowState(ControlCall& call) {
    if (!call.args.empty()) return call.Fail("too many arguments");
    call.out = call.state.Serialize();
    return 0;
}

// Forgets everything: the radio as never configured, no fixtures, an empty call log.
int ResetState(ControlCall& call) {
    if (!call.args.empty()) return call.Fail("too many arguments");
    for (const char* path : {kScanFixture, kConnectedFixture, kCallLog})
        if (unlink(path) != 0 && errno != ENOENT)
            return call.Fail(std::string("cannot remove ") + path + ": " + strerror(errno));
    call.state = RadioState();
    return 0;
}

}  // namespace sim
