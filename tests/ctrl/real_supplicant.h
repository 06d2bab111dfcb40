#ifndef WLAN_TESTS_CTRL_REAL_SUPPLICANT_H
#define WLAN_TESTS_CTRL_REAL_SUPPLICANT_H

#include <sys/types.h>

#include <string>

// The system's wpa_supplicant, run inside the sandbox without a radio: driver "none" on the
// loopback interface, control sockets under /var/run/wpa_supplicant, no configuration file.
class RealSupplicant {
public:
    static constexpr const char* kSocket = "/var/run/wpa_supplicant/lo";

    // The installed binary, or empty when there is none.
    static std::string Binary();

    ~RealSupplicant() { Stop(); }

    // Starts it and waits (bounded) until its control socket exists. On failure *why says why.
    bool Start(std::string* why);
    // Ends it with SIGTERM and reaps it; it removes its socket file on the way out.
    void Stop();

private:
    pid_t pid_ = -1;
};

#endif
