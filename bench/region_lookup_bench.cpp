#include <benchmark/benchmark.h>

#include "wlan_region.h"

// The country lookups scan the region table row by row: the first row, the last row and a code
// the table does not hold (a full scan) bound the cost the script generator pays per call.

namespace {

const char* const kCodes[] = {"AL", "ZW", "XX"};

void BM_MaxChan2G(benchmark::State& state) {
    const char* code = kCodes[state.range(0)];
    for (auto _ : state) benchmark::DoNotOptimize(get_max_chan_2G(code));
}
BENCHMARK(BM_MaxChan2G)->DenseRange(0, 2)->ArgName("first_last_unknown");

void BM_Chan5G(benchmark::State& state) {
    const char* code = kCodes[state.range(0)];
    char out[WLAN_REGION_CHAN_5G_SIZE];
    for (auto _ : state) {
        out[0] = '\0';
        benchmark::DoNotOptimize(get_chan_5G(code, out));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Chan5G)->DenseRange(0, 2)->ArgName("first_last_unknown");

void BM_WlCountryAndRegrev(benchmark::State& state) {
    char code[WLAN_REGION_CODE_SIZE];
    for (auto _ : state) {
        get_wl_country_code("SY", code);
        benchmark::DoNotOptimize(get_wl_regv_code(code));
    }
}
BENCHMARK(BM_WlCountryAndRegrev);

}  // namespace
