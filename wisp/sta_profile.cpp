#include "wisp/sta_profile.h"

#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "util/atomic_file.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/shell.h"
#include "util/text.h"

extern "C" {
sta_setting_t sta_setting;
sta_setting_t sta_setting_list[WISP_MAX_PROFILES];
int32_t current_profile_num = 0;
int32_t connect_profile_num = 0;
int32_t last_record_profile_num = 0;
int32_t current_wireless_band = 0;
}

namespace {

constexpr int kSecWep = 1;
constexpr int kSecWpaFirst = 2;
constexpr int kSecWpaLast = 6;
constexpr int kSecEap = 7;
constexpr int kEapSim = 4;
constexpr int kEapAka = 5;
constexpr int kAuthShared = 2;
constexpr size_t kLineSize = 128;
constexpr size_t kPskLength = 64;
constexpr int kStopChecks = 8;
constexpr useconds_t kStopCheckUs = 500 * 1000;

const char* band_name() { return current_wireless_band == 1 ? "5G" : "2.4G"; }

bool all_of(const char* text, int (*pred)(int)) {
    for (const char* p = text; *p != '\0'; ++p)
        if (pred(static_cast<unsigned char>(*p)) == 0) return false;
    return true;
}

int is_printable_ascii(int c) { return c >= 0x20 && c <= 0x7e; }

// Whether wpa_supplicant reads the text back whole from between double quotes: its line reader
// cuts a line at a '#' outside quotes, and it counts every quote, also those inside the text.
bool survives_quotes(const char* text) {
    bool inside = true;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '"')
            inside = !inside;
        else if (*p == '#' && !inside)
            return false;
    }
    return true;
}

// The value of an ssid line: the text in quotes, or its bytes in hexadecimal when the quoted
// form would be cut.
std::string ssid_value(const char* ssid) {
    if (survives_quotes(ssid)) return "\"" + std::string(ssid) + "\"";
    std::string hex;
    char byte[3];
    for (const char* p = ssid; *p != '\0'; ++p) {
        snprintf(byte, sizeof(byte), "%02x", static_cast<unsigned char>(*p));
        hex += byte;
    }
    return hex;
}

// A decimal int32 line; anything else (garbage, out of range) reads as 0.
int32_t line_number(const char* line) {
    errno = 0;
    char* end = nullptr;
    long value = strtol(line, &end, 10);
    if (end == line || errno != 0 || value < INT32_MIN || value > INT32_MAX) return 0;
    return static_cast<int32_t>(value);
}

// Fills field `index` (0..6 of a block) of the profile from a file line.
void set_profile_field(sta_setting_t& profile, int index, const char* line) {
    switch (index) {
        case 0:
            copy_text(profile.ssid, line);
            break;
        case 1:
            profile.channel = line_number(line);
            break;
        case 2:
            profile.sec_type = line_number(line);
            break;
        case 3:
            profile.ieee8021x_type = line_number(line);
            break;
        case 4:
            copy_text(profile.wpa_key, line);
            break;
        case 5:
            profile.keyid = line_number(line);
            break;
        case 6:
            profile.authtype = line_number(line);
            break;
        default:
            break;
    }
}

// The security lines of a network block. wpa_supplicant takes a quoted text literally from the
// first to the last double quote of its line, so backslashes and (but for survives_quotes)
// quotes and '#' need no escaping.
std::string security_lines(const sta_setting_t& p) {
    std::string lines;
    if (p.sec_type == kSecWep) {
        lines = "\tkey_mgmt=NONE\n";
        lines += p.authtype == kAuthShared ? "\tauth_alg=SHARED\n" : "\tauth_alg=OPEN\n";
        lines += "\twep_tx_keyidx=" + std::to_string(p.keyid - 1) + "\n";
        const size_t len = strlen(p.wpa_key);
        const std::string key =
            len == 5 || len == 13 ? "\"" + std::string(p.wpa_key) + "\"" : std::string(p.wpa_key);
        for (int i = 0; i < 4; ++i) lines += "\twep_key" + std::to_string(i) + "=" + key + "\n";
    } else if (p.sec_type >= kSecWpaFirst && p.sec_type <= kSecWpaLast) {
        lines = "\tproto=RSN WPA\n\tkey_mgmt=WPA-PSK\n\tpairwise=CCMP TKIP\n\tgroup=CCMP TKIP\n";
        // A raw key of 64 hexadecimal digits is written bare, the form the supplicant takes.
        lines += strlen(p.wpa_key) == kPskLength ? "\tpsk=" + std::string(p.wpa_key) + "\n"
                                                 : "\tpsk=\"" + std::string(p.wpa_key) + "\"\n";
    } else if (p.sec_type == kSecEap) {
        if (p.ieee8021x_type == kEapSim)
            lines = "\tkey_mgmt=WPA-EAP\n\teap=SIM\n\tpcsc=\"\"\n";
        else if (p.ieee8021x_type == kEapAka)
            lines = "\tkey_mgmt=WPA-EAP\n\teap=AKA\n\tpcsc=\"\"\n";
    } else {
        lines = "\tkey_mgmt=NONE\n";
    }
    return lines;
}

bool write_all(AtomicFile& file, const std::string& text) {
    return fwrite(text.data(), 1, text.size(), file.Stream()) == text.size() && file.Sync();
}

// Makes the supplicant file ready in `file` (not yet replacing the old one).
bool prepare_supplicant_file(AtomicFile& file) {
    if (!file.Open(kSupplicantConfPath)) {
        WLAN_LOG5("file open fail");
        return false;
    }
    if (!write_all(file, sta_supplicant_file_text())) {
        WLAN_LOG5("file open fail");
        file.Abort();
        return false;
    }
    return true;
}

bool is_plain_name(const char* name) {
    if (name == nullptr || *name == '\0') return false;
    for (const char* p = name; *p != '\0'; ++p)
        if (isalnum(static_cast<unsigned char>(*p)) == 0 && strchr("._-", *p) == nullptr)
            return false;
    return true;
}

// Whether the process is still there and has not ended: an ended process that its parent has
// not reaped yet (a zombie) holds nothing any more and counts as gone.
bool process_running(int pid) {
    char path[32];
    snprintf(path, sizeof(path), "/proc/%d/stat", pid);
    FILE* file = fopen(path, "r");
    if (file == nullptr) return false;
    char stat[kLineSize] = "";
    const bool read = fgets(stat, sizeof(stat), file) != nullptr;
    fclose(file);
    const char* state = strrchr(stat, ')');
    return !read || state == nullptr || strncmp(state, ") Z", 3) != 0;
}

}  // namespace

std::string sta_profile_file_text() {
    std::string text = std::to_string(last_record_profile_num) + "\n";
    for (int i = 0; i < current_profile_num; ++i) {
        const sta_setting_t& p = sta_setting_list[i];
        text += std::string(p.ssid) + "\n" + std::to_string(p.channel) + "\n" +
                std::to_string(p.sec_type) + "\n" + std::to_string(p.ieee8021x_type) + "\n" +
                p.wpa_key + "\n" + std::to_string(p.keyid) + "\n" + std::to_string(p.authtype) +
                "\n\n";
    }
    return text;
}

std::string sta_supplicant_file_text() {
    std::string text = "ctrl_interface=/var/run/wpa_supplicant\n\n";
    for (int i = 0; i < current_profile_num; ++i) {
        const sta_setting_t& p = sta_setting_list[i];
        const char* fault = sta_profile_fault(p);
        if (fault != nullptr) {
            WLAN_LOG5("wpa_supplicant conf: profile %d left out: %s", i, fault);
            continue;
        }
        text += "network={\n\tssid=" + ssid_value(p.ssid) + "\n" + security_lines(p);
        if (i == connect_profile_num) text += "\tpriority=1\n";
        text += "}\n\n";
    }
    return text;
}

const char* sta_profile_fault(const sta_setting_t& p) {
    if (has_line_break(p.ssid) || has_line_break(p.wpa_key)) return "line break in a text";
    const size_t len = strlen(p.wpa_key);
    if (p.sec_type == kSecWep) {
        if (p.keyid < 1 || p.keyid > 4) return "WEP key number not 1 to 4";
        const bool ascii = (len == 5 || len == 13) && all_of(p.wpa_key, is_printable_ascii);
        const bool hex = (len == 10 || len == 26) && all_of(p.wpa_key, isxdigit);
        if (!ascii && !hex) return "WEP key not 5 or 13 characters nor 10 or 26 hexadecimal digits";
        if (ascii && !survives_quotes(p.wpa_key)) return "WEP key with '#' after a quote";
    } else if (p.sec_type >= kSecWpaFirst && p.sec_type <= kSecWpaLast) {
        const bool passphrase = len >= 8 && len <= 63 && all_of(p.wpa_key, is_printable_ascii);
        const bool psk = len == kPskLength && all_of(p.wpa_key, isxdigit);
        if (!passphrase && !psk)
            return "WPA key not 8 to 63 printable characters nor 64 hexadecimal digits";
        if (passphrase && !survives_quotes(p.wpa_key)) return "WPA key with '#' after a quote";
    }
    return nullptr;
}

void sta_profiles_load() {
    memset(sta_setting_list, 0, sizeof(sta_setting_list));
    current_profile_num = 0;
    last_record_profile_num = 0;
    FILE* file = fopen(kWispProfilePath, "r");
    if (file == nullptr) {
        WLAN_LOG5("read wisp %s profile error", band_name());
        return;
    }
    char line[kLineSize];
    if (read_file_line(file, line, sizeof(line))) {
        const int32_t last = line_number(line);
        last_record_profile_num = last >= 0 && last < WISP_MAX_PROFILES ? last : 0;
    }
    for (int field = 0;
         current_profile_num < WISP_MAX_PROFILES && read_file_line(file, line, kLineSize);
         field = (field + 1) % 8) {
        if (field == 7)
            ++current_profile_num;
        else
            set_profile_field(sta_setting_list[current_profile_num], field, line);
    }
    // A block cut short leaves a partly filled slot behind the valid ones: clear it.
    if (current_profile_num < WISP_MAX_PROFILES)
        memset(&sta_setting_list[current_profile_num], 0, sizeof(sta_setting_t));
    fclose(file);
}

void sta_profiles_place() {
    int slot = -1;
    for (int i = 0; i < current_profile_num; ++i)
        if (strcmp(sta_setting_list[i].ssid, sta_setting.ssid) == 0) slot = i;
    if (slot < 0 && current_profile_num < WISP_MAX_PROFILES) {
        slot = current_profile_num++;
    } else if (slot < 0) {
        slot = last_record_profile_num;
        last_record_profile_num = (last_record_profile_num + 1) % WISP_MAX_PROFILES;
    }
    connect_profile_num = slot;
    sta_setting_list[slot] = sta_setting;
}

bool sta_profiles_store() {
    AtomicFile profiles;
    bool profiles_ready =
        profiles.Open(kWispProfilePath) && write_all(profiles, sta_profile_file_text());
    if (!profiles_ready) {
        profiles.Abort();
        WLAN_LOG5("write wisp %s profile error", band_name());
    }
    AtomicFile supplicant;
    if (!prepare_supplicant_file(supplicant)) return false;
    if (!supplicant.Commit()) {
        WLAN_LOG5("file open fail");
        return false;
    }
    if (profiles_ready && !profiles.Commit()) WLAN_LOG5("write wisp %s profile error", band_name());
    return true;
}

int wpa_supplicant_conf_write(void) {
    AtomicFile file;
    if (!prepare_supplicant_file(file)) return -1;
    if (!file.Commit()) {
        WLAN_LOG5("file open fail");
        return -1;
    }
    return 0;
}

void kill_and_wait_process_stop(const char* name) {
    if (!is_plain_name(name)) {
        WLAN_LOG5("kill_and_wait_process_stop: name refused");
        return;
    }
    char command[kLineSize];
    if (!format_bounded(command, sizeof(command), "pidof %s 2>&1", name)) return;
    ShellPipe pipe(command);
    if (!pipe.IsOpen()) {
        WLAN_LOG5("popen fail");
        shell_runf("killall %s; sleep 1", name);
        return;
    }
    char line[kLineSize] = "";
    const bool got = pipe.ReadWholeLine(line, sizeof(line));
    pipe.Close();
    const int pid = got ? static_cast<int>(line_number(line)) : 0;
    if (pid <= 0 || !process_running(pid)) return;
    shell_runf("killall %s 2>&1", name);
    for (int i = 0; i < kStopChecks && process_running(pid); ++i) usleep(kStopCheckUs);
}
