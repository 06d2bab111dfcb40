#ifndef WLAN_DEMO_LOG_H
#define WLAN_DEMO_LOG_H

#include <stdio.h>

// Prints the library's user log and level-5 messages as they happen, so the demo narrates
// what the library does.
void demo_log_install();

// Where the log lines go from now on (standard output until this is called).
void demo_log_set_output(FILE* out);

#endif
