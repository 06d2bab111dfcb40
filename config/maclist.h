#ifndef WLAN_CONFIG_MACLIST_H
#define WLAN_CONFIG_MACLIST_H

#include <stdint.h>

#include "util/atomic_file.h"
#include "wlan_config.h"

// The MAC list file: one MAC address per line, each optionally preceded by a comment line
// "#DESCRIPTION:<text>" that gives it a description.

// Appends the entries of the MAC list file at path to *list (growing it by one entry per
// address) and *count. Returns 0, or -1 when the file is missing or the list cannot grow (the
// entries read so far stay). A null path does nothing and returns 0.
int wlan_mgr_config_read_maclist(const char* path, wlan_mgr_mac_entry** list, int32_t* count);

// Writes count entries as the new content of the MAC list file at path into file and syncs
// them; the caller replaces the old list with file.Commit() or drops the new one. False when
// the new content cannot be written (nothing is replaced then).
bool wlan_mgr_config_write_maclist(AtomicFile* file, const char* path,
                                   const wlan_mgr_mac_entry* list, int32_t count);

#endif
