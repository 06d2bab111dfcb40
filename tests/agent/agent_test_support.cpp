#include "tests/agent/agent_test_support.h"

namespace agent_test {

void WriteIdleTimes(const std::string& user_seconds, const std::string& system_seconds) {
    sandbox::WriteFile("/etc/config/wlan",
                       "config basic_setting 'basic_setting'\n"
                       "\toption disable_time '" +
                           user_seconds +
                           "'\n"
                           "\toption disable_time_system '" +
                           system_seconds + "'\n");
}

void InstallRecorder(const std::string& name) {
    std::string path = "/usr/bin/" + name;
    sandbox::WriteFile(path, "#!/bin/sh\necho \"$*\" >> /tmp/" + name + ".calls\nexit $(cat /tmp/" +
                                 name + ".status 2>/dev/null || echo 0)\n");
    sandbox::Run("chmod 755 " + path);
}

std::string Calls(const std::string& name) { return sandbox::ReadFile("/tmp/" + name + ".calls"); }

void MakeRadioStartFail() {
    sandbox::WriteFile("/usr/bin/bcmwlan_ap1.sh", "#!/bin/sh\nexit 1\n");
    sandbox::Run("chmod 755 /usr/bin/bcmwlan_ap1.sh");
}

}  // namespace agent_test
