#ifndef WLAN_DEMO_METHOD_TOUR_H
#define WLAN_DEMO_METHOD_TOUR_H

#include <stdio.h>

#include <functional>
#include <string>

// The service object's methods as the web interface calls them. Every call is printed as the
// `ubus call` line that would make it, and its reply as `ubus call` prints it: indented JSON,
// then "Command failed: ..." when the status is not 0.
namespace method_tour {

// Makes one call on a bus connection of its own and prints it; returns the call's status. The
// reply, as compact JSON, goes to reply when it is given.
int Call(FILE* out, const std::string& method, const std::string& json,
         std::string* reply = nullptr);

// The tour on a running AP with stations: configuration, power save, the WPS key, stations,
// region and client queries. Returns whether every step went as expected.
bool Run(FILE* out);

// An LTE report that rules out the AP's channel: the platform is asked to restart Wi-Fi, and
// the AP comes back on another channel once restart (the platform's restart of the Wi-Fi
// service) has run. Returns whether it did.
bool LteReport(FILE* out, const std::function<bool()>& restart);

}  // namespace method_tour

#endif
