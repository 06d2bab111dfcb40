#include <android/log.h>
#include <benchmark/benchmark.h>
#include <string.h>

#include "hostapd_agent.h"
#include "ubus/method_groups.h"
#include "ubus/shadow_agent.h"
#include "ubus_assistant.h"
#include "wlan_coex.h"

// The handler work of the region list and of an LTE report: parsing, the coexistence update and
// building the reply. The assistant has no connection, so the reply is built and freed but not
// sent, and the agent is not started, so the report runs no command.

namespace {

void DropLog(const struct __android_logger_data*, const char*) {}

ubus_handler_t HandlerOf(const MethodGroup& group, const char* method) {
    for (int i = 0; i < group.count; ++i)
        if (strcmp(group.rows[i].name, method) == 0) return group.rows[i].handler;
    return nullptr;
}

// An agent and an assistant published as the handlers find them. They last for the whole
// program: the agent's destructor would stop the radio through the device's commands.
HostapdAgent& PublishedAgent() {
    static HostapdAgent* const agent = [] {
        __android_log_set_logger(DropLog);
        HostapdAgent* published = new HostapdAgent();
        set_shadow_pointers(published, new UbusAssistant(published, nullptr));
        bcm_lte_coex_set_shadow_agent(published);
        return published;
    }();
    return *agent;
}

void BM_RegionInfoList(benchmark::State& state) {
    PublishedAgent();
    ubus_handler_t handler = HandlerOf(region_method_group, "wlan_get_region_info_list");
    for (auto _ : state)
        benchmark::DoNotOptimize(handler(nullptr, nullptr, nullptr, nullptr, nullptr));
}
BENCHMARK(BM_RegionInfoList);

// An FDD uplink at 2530 MHz: a 2.4 GHz row applies, no 5 GHz row does.
void BM_WwanStateReport(benchmark::State& state) {
    HostapdAgent& agent = PublishedAgent();
    ubus_handler_t handler = HandlerOf(lte_method_group, "wlan_send_wwan_state");
    blob_buf report = {};
    blob_buf_init(&report, 0);
    blobmsg_add_string(&report, "wlan_if", "rmnet_data0");
    const char* const ints[] = {"band_info_valid",
                                "ul_band_freq",
                                "ul_band_bw",
                                "dl_band_freq",
                                "dl_band_bw",
                                "tdd_info_valid",
                                "tdd_info_frame_offset",
                                "tdd_info_config",
                                "tdd_info_subframe_config",
                                "tdd_info_ul_config",
                                "tdd_info_dl_config",
                                "off_period_valid",
                                "off_period"};
    const uint32_t values[] = {1, 2530, 10, 2650, 10, 0, 0, 0, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < sizeof(values) / sizeof(values[0]); ++i)
        blobmsg_add_u32(&report, ints[i], values[i]);
    for (auto _ : state)
        benchmark::DoNotOptimize(handler(nullptr, nullptr, nullptr, nullptr, report.head));
    if (agent.lte_coex.acs_chan_mask != 0x7FDFC0) state.SkipWithError("the report was not applied");
    blob_buf_free(&report);
}
BENCHMARK(BM_WwanStateReport);

}  // namespace
