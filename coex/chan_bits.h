#ifndef WLAN_COEX_CHAN_BITS_H
#define WLAN_COEX_CHAN_BITS_H

#include <stdint.h>

// Channel mask bit of a Wi-Fi channel: 1..13 give bit c-1, 36..48 bit (c-36)/4 + 14, 149..165
// bit (c-149)/4 + 18; every other channel (0 included) has no bit and gives 0.
uint32_t coex_chan_bit(long channel);

#endif
