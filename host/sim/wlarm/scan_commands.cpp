// Scan status, scan results and the connected network of the station interface, as loaded by
// wlarm-sim.
#include "core/paths.h"
#include "core/state_store.h"
#include "wlarm/commands.h"

namespace sim {
namespace {

constexpr const char* kIdleScanStatus = "2";
constexpr const char* kNoScanResults = "0\n";
constexpr const char* kNotConnected = "Not associated\n";

int PrintFixture(Invocation& inv, const char* path, const char* fallback) {
    if (!inv.args.empty()) return TooManyArguments(inv);
    std::string content;
    inv.out += ReadWholeFile(path, &content) ? content : fallback;
    return 0;
}

}  // namespace

// Each call answers the next loaded status; the last one keeps answering.
int RunGetScanStatus(Invocation& inv) {
    if (!inv.args.empty()) return TooManyArguments(inv);
    std::vector<std::string>& queue = inv.state.scan_status;
    inv.out += (queue.empty() ? kIdleScanStatus : queue.front()) + std::string("\n");
    if (queue.size() > 1) queue.erase(queue.begin());
    return 0;
}

int RunEscanresults(Invocation& inv) { return PrintFixture(inv, kScanFixture, kNoScanResults); }

int RunConnectedinfo(Invocation& inv) {
    return PrintFixture(inv, kConnectedFixture, kNotConnected);
}

}  // namespace sim
