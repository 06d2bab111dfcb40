#include "wlarm/run.h"

#include <stdlib.h>

#include "core/number_text.h"
#include "core/paths.h"
#include "core/state_store.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

struct CommandLine {
    std::string interface;
    std::string name;
    std::vector<std::string> args;
};

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine* line, std::string* error) {
    size_t i = 0;
    for (; i < args.size() && !args[i].empty() && args[i][0] == '-'; ++i) {
        if (args[i] != "-i") {
            *error = "unknown option '" + args[i] + "'";
            return false;
        }
        if (++i == args.size()) {
            *error = "-i needs an interface name";
            return false;
        }
        line->interface = args[i];
    }
    if (i == args.size()) {
        *error = "usage: wlarm [-i IFACE] SUBCOMMAND [ARGS...]";
        return false;
    }
    line->name = args[i];
    line->args.assign(args.begin() + static_cast<long>(i) + 1, args.end());
    return true;
}

// "eth0" (or "wl0") is the primary BSS; "wl0.N" is BSS N, which exists only with mbss 1.
bool ResolveInterface(const RadioState& state, const std::string& name, int* bss,
                      std::string* error) {
    *bss = 0;
    if (name.empty() || name == "eth0" || name == "wl0") return true;
    long index = 0;
    if (name.compare(0, 4, "wl0.") == 0 && name.size() == 5 &&
        ParseNumberInRange(name.substr(4), 1, kBssCount - 1, &index) &&
        state.GetNumber("mbss", 0) == 1) {
        *bss = static_cast<int>(index);
        return true;
    }
    *error = "interface '" + name + "' not found";
    return false;
}

// Takes one call off the subcommand's injected fault; true when there is one.
bool ConsumeFault(RadioState& state, const std::string& name, FaultMode* mode) {
    auto it = state.faults.find(name);
    if (it == state.faults.end()) return false;
    *mode = it->second.mode;
    if (it->second.remaining > 0 && --it->second.remaining == 0) state.faults.erase(it);
    return true;
}

void ReportFailure(const std::vector<std::string>& args, const std::string& prefix,
                   const std::string& reason, bool record, RunResult* result) {
    if (!reason.empty()) result->err += "wlarm: " + prefix + reason + "\n";
    const char* error_log = getenv(kErrorLogVariable);
    if (record && error_log != nullptr && *error_log != '\0')
        AppendLine(error_log, QuoteArguments(args) + ": " + (reason.empty() ? "failed" : reason));
}

RunResult Fail(const std::vector<std::string>& args, const std::string& prefix,
               const std::string& reason) {
    RunResult result;
    result.status = 1;
    ReportFailure(args, prefix, reason, true, &result);
    return result;
}

}  // namespace

RunResult RunWlarm(const std::vector<std::string>& args) {
    std::string error;
    CommandLine line;
    StateLock lock;
    if (!lock.Acquire(&error)) return Fail(args, "", error);
    AppendLine(kCallLog, QuoteArguments(args));
    if (!ParseCommandLine(args, &line, &error)) return Fail(args, "", error);
    RadioState state;
    if (!LoadState(&state, &error)) return Fail(args, "", error);
    CommandHandler handler = FindCommand(line.name);
    if (handler == nullptr) return Fail(args, "", "unknown subcommand '" + line.name + "'");
    std::string prefix = line.name + ": ";
    int bss = 0;
    if (!ResolveInterface(state, line.interface, &bss, &error)) return Fail(args, prefix, error);

    bool is_poll = line.name == "autochannel" && line.args.empty();
    FaultMode fault = FaultMode::kFail;
    bool faulted = ConsumeFault(state, line.name, &fault);
    RunResult result;
    if (faulted && fault == FaultMode::kFail) {
        result.status = 1;
        ReportFailure(args, prefix, "injected failure", !is_poll, &result);
        if (!SaveState(state, &error)) result.err += "wlarm: " + error + "\n";
        return result;
    }

    RadioState before = state;
    Invocation inv{state, bss, line.name, line.args, "", "", false};
    result.status = handler(inv);
    if (result.status != 0) {
        if (!inv.poll_not_ready) state = before;
        ReportFailure(args, prefix, inv.error, !inv.poll_not_ready, &result);
    }
    if (!SaveState(state, &error)) return Fail(args, "", error);
    if (!faulted) result.out = inv.out;  // a silent fault swallows the output
    return result;
}

}  // namespace sim
