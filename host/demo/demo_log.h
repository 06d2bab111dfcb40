#ifndef WLAN_DEMO_LOG_H
#define WLAN_DEMO_LOG_H

// Prints the library's user log and level-5 messages as they happen, so the demo narrates
// what the library does.
void demo_log_install();

#endif
