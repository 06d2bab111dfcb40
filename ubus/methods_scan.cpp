// Scan methods: the networks in range and the network the station side is connected to.
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <memory>

#include "ubus/method_call.h"
#include "ubus/method_groups.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"
#include "wisp/scan_results.h"
#include "wlan_scan.h"

namespace {

constexpr const char* kStationInterface = "eth0";

// The wait for the scan engine before the results are read: at most this many checks after
// the first, each after a pause.
constexpr int kScanIdleRetries = 8;
constexpr useconds_t kScanIdlePauseUs = 500 * 1000;

// More access points than a scan report can really hold: a count above it is taken as this, so
// a corrupt count line cannot make the records take all memory.
constexpr long kScanCountMax = 1024;

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Runs the scan command with the supplicant paused; the supplicant is resumed whatever the
// command did.
void run_scan() {
    shell_runf("cp %s %s", kScanResultsPath, kScanResultsBackupPath);
    shell_run("killall -SIGSTOP wpa_supplicant");
    for (int retry = 0; !wait_scan_idle() && retry < kScanIdleRetries; ++retry)
        usleep(kScanIdlePauseUs);
    shell_runf("wlarm -i %s escanresults > %s", kStationInterface, kScanResultsPath);
    shell_run("killall -SIGCONT wpa_supplicant");
}

// The count line of a scan report; a count that is not a positive number reads as 0.
long read_count(FILE* file, bool* read) {
    char line[kScanLineSize];
    *read = read_file_line(file, line, sizeof(line));
    if (!*read) return 0;
    const long count = strtol(line, nullptr, 10);
    return count <= 0 ? 0 : count < kScanCountMax ? count : kScanCountMax;
}

}  // namespace

int ubus_wlan_get_scan_result(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                              blob_attr*) {
    WLAN_TRACE("ubus_wlan_get_scan_result");
    MethodCall call(__func__, req);
    // Without the assistant no reply can go out: the supplicant is not paused for nothing.
    if (!call.Check(ShadowCheck::kUaLogged)) return -1;
    run_scan();

    File file(fopen(kScanResultsPath, "r"));
    if (file == nullptr) {
        WLAN_LOG5("open scan result file error");
        return -1;
    }
    bool read = false;
    long count = read_count(file.get(), &read);
    if (!read) return -1;
    if (count == 0) {
        // Nothing in range this time: answer with the previous scan.
        file.reset(fopen(kScanResultsBackupPath, "r"));
        if (file == nullptr) {
            WLAN_LOG5("open scan result file error");
            return -1;
        }
        count = read_count(file.get(), &read);
        if (!read) {
            WLAN_LOG5("read scan result file error");
            return -1;
        }
        if (count == 0) return 0;
    }

    std::unique_ptr<scan_ap_entry, decltype(&free)> records(
        static_cast<scan_ap_entry*>(calloc(static_cast<size_t>(count), sizeof(scan_ap_entry))),
        &free);
    if (records == nullptr) {
        WLAN_LOG5("alloc memory for scan result fail");
        return -1;
    }
    std::unique_ptr<char, decltype(&free)> text(static_cast<char*>(malloc(kScanListTextSize)),
                                                &free);
    if (text == nullptr) {
        WLAN_LOG5("alloc buf space fail");
        return -1;
    }
    const size_t accepted =
        scan_parse_blocks(file.get(), records.get(), static_cast<size_t>(count));
    scan_sort_by_signal(records.get(), accepted);
    scan_list_text(records.get(), accepted, text.get());
    call.AddString("ApList", text.get());
    WLAN_TRACE("WLAN_DBG: RPC will return scan result:\n%s\n", text.get());
    call.Send();
    WLAN_TRACE("WLAN_DBG: RPC ubus_wlan_get_scan_result done, leave!\n");
    return 0;
}

int ubus_wlan_get_connected_info(ubus_context*, ubus_object*, ubus_request_data* req, const char*,
                                 blob_attr*) {
    WLAN_TRACE("ubus_wlan_get_connected_info");
    MethodCall call(__func__, req);
    if (!call.Check(ShadowCheck::kUaLogged)) return -1;
    shell_runf("wlarm -i %s connectedinfo > %s", kStationInterface, kConnectedInfoPath);
    File file(fopen(kConnectedInfoPath, "r"));
    if (file == nullptr) {
        WLAN_LOG5("open connected info file error");
        return -1;
    }
    scan_connected_info info;
    scan_parse_connected(file.get(), &info);
    call.AddString("ssid", info.ssid);
    call.AddInt32("security", info.security);
    call.AddInt32("signal", info.signal);
    call.Send();
    return 0;
}

namespace {

const ubus_method scan_methods[] = {
    UBUS_METHOD_NOARG("wlan_get_scan_result", ubus_wlan_get_scan_result),
    UBUS_METHOD_NOARG("wlan_get_connected_info", ubus_wlan_get_connected_info),
};

}  // namespace

const MethodGroup scan_method_group = WLAN_METHOD_GROUP(scan_methods);
