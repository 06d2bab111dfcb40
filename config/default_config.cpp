#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "config/config_lines.h"
#include "config/default_settings.h"
#include "util/atomic_file.h"
#include "util/device_paths.h"
#include "util/log.h"
#include "util/text.h"
#include "wlan_config.h"

namespace {

constexpr const char* kName = "prepare_hostapd_conf";
constexpr size_t kBufferSize = 128;

// False when the input could not be read whole; write errors show when the output is committed.
bool copy_stream(FILE* in, FILE* out) {
    char buffer[kBufferSize];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), in)) > 0) fwrite(buffer, 1, count, out);
    return ferror(in) == 0;
}

// Makes the working copy from the template of the device image. False when either file cannot
// be opened or the copy cannot be written; then there is no working copy.
bool copy_template() {
    UniqueFile source(fopen(kHostapdTemplatePath, "r"));
    if (!source) {
        WLAN_TRACE("%s open fail!", kHostapdTemplatePath);
        return false;
    }
    AtomicFile copy;
    if (!copy.Open(kHostapdWorkingCopyPath)) {
        WLAN_TRACE("%s open fail!", kHostapdWorkingCopyPath);
        return false;
    }
    if (!copy_stream(source.get(), copy.Stream()) || !copy.Commit()) {
        WLAN_LOG5("write %s error!", kHostapdWorkingCopyPath);
        return false;
    }
    return true;
}

bool has_ssid_line(FILE* file) {
    char line[kBufferSize];
    while (fgets(line, sizeof(line), file) != nullptr)
        if (strncmp(line, "ssid=", 5) == 0) return true;
    return false;
}

// Rewrites the file at path (following its link) with its old content, a newline that ends an
// unterminated last line, and the generated settings. A failed write leaves the old file.
void append_default_settings(FILE* current, const char* path) {
    AtomicFile file;
    if (!file.Open(path)) {
        WLAN_TRACE("%s open fail!", path);
        return;
    }
    rewind(current);
    bool copied = copy_stream(current, file.Stream());
    fputs("\n", file.Stream());
    write_default_settings(file.Stream());
    if (!copied || !file.Commit()) {
        WLAN_LOG5("write %s error!", path);
        return;
    }
    WLAN_TRACE("%s %d LEAVE", kName, __LINE__);
}

}  // namespace

extern "C" WLAN_EXPORT void prepare_hostapd_conf(const char* path) {
    wlan_userlog(WLAN_PRIO_INFO, "To generate default hostapd conf");
    WLAN_TRACE("%s %d", kName, __LINE__);
    // Without a working copy no link is made: it would name a file that is not there.
    if (access(kHostapdWorkingCopyPath, F_OK) != 0 && !copy_template()) return;

    char conf_path[kBufferSize];
    if (path == nullptr || !copy_text(conf_path, path)) {
        WLAN_TRACE("%s open fail!", path != nullptr ? path : "");
        return;
    }
    struct stat st;
    // A link that cannot be made shows below as a file that cannot be opened.
    if (lstat(conf_path, &st) != 0 && symlink(kHostapdWorkingCopyPath, conf_path) != 0)
        WLAN_TRACE("symlink %s fail!", conf_path);
    UniqueFile conf(fopen(conf_path, "r"));
    if (!conf) {
        WLAN_TRACE("%s open fail!", conf_path);
        return;
    }
    if (has_ssid_line(conf.get())) {
        WLAN_TRACE("%s %d LEAVE", kName, __LINE__);
        return;
    }
    append_default_settings(conf.get(), conf_path);
}
