#include <benchmark/benchmark.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "util/text.h"
#include "wisp/scan_results.h"

// The work of a scan-list request once the radio has written its report: the report read from
// memory (no file, no command), merged, sorted and written as the list text. 64 access points,
// every fourth one a duplicate of an earlier one, some SSIDs with quotes to escape.

namespace {

std::string Report(int count) {
    std::string report = std::to_string(count) + "\n";
    for (int i = 0; i < count; ++i) {
        const int id = i % 4 == 3 ? i - 3 : i;
        report += "Net \"" + std::to_string(id) + "\" upstream\n" + std::to_string(i * 37 % 100) +
                  "\n1\nWPA2-PSK AES\nWPA\n\n";
    }
    return report;
}

void BM_ScanList(benchmark::State& state) {
    std::string report = Report(static_cast<int>(state.range(0)));
    std::vector<scan_ap_entry> records(static_cast<size_t>(state.range(0)));
    std::vector<char> text(kScanListTextSize);
    for (auto _ : state) {
        FILE* file = fmemopen(&report[0], report.size(), "r");
        char line[kScanLineSize];
        read_file_line(file, line, sizeof(line));
        const size_t count = scan_parse_blocks(file, records.data(), records.size());
        fclose(file);
        scan_sort_by_signal(records.data(), count);
        scan_list_text(records.data(), count, text.data());
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_ScanList)->Arg(64);

}  // namespace
