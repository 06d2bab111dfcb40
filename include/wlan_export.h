#ifndef WLAN_EXPORT_H
#define WLAN_EXPORT_H

// Marks a name as part of the library's exported interface; everything else stays hidden.
#define WLAN_EXPORT __attribute__((visibility("default")))

#endif
