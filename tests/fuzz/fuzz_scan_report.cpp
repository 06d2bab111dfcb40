// The radio's reports in station mode, read as wlan_get_scan_result reads /etc/scan_results
// (count line, blocks, sorted, the reply text) and as wlan_get_connected_info reads
// /etc/connected_info.
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include "tests/fuzz/support.h"
#include "util/text.h"
#include "wisp/scan_results.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::QuietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> copy(data, data + size);
    copy.push_back('\n');  // fmemopen needs a size above 0
    FILE* file = fmemopen(copy.data(), size == 0 ? 1 : size, "r");
    char line[kScanLineSize];
    if (read_file_line(file, line, sizeof(line))) {
        long count = strtol(line, nullptr, 10);
        count = count <= 0 ? 1 : count < 1024 ? count : 1024;  // the handler's bounds
        std::vector<scan_ap_entry> records(static_cast<size_t>(count));
        size_t accepted = scan_parse_blocks(file, records.data(), records.size());
        scan_sort_by_signal(records.data(), accepted);
        std::vector<char> text(kScanListTextSize);
        scan_list_text(records.data(), accepted, text.data());
    }
    rewind(file);
    scan_connected_info info;
    scan_parse_connected(file, &info);
    fclose(file);
    return 0;
}
