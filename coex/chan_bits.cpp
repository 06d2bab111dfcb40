#include "coex/chan_bits.h"

uint32_t coex_chan_bit(long channel) {
    if (channel >= 1 && channel <= 13) return 1u << (channel - 1);
    if (channel >= 36 && channel <= 48) return 1u << ((channel - 36) / 4 + 14);
    if (channel >= 149 && channel <= 165) return 1u << ((channel - 149) / 4 + 18);
    return 0;
}
