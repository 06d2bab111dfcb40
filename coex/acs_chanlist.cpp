#include "coex/chan_bits.h"
#include "coex/coex_state.h"
#include "hostapd_agent.h"
#include "util/log.h"

namespace {

// The output of one call: out has room for the candidate count, or for one entry when there
// are no candidates; every path below stays within that.
class ChanOutput {
public:
    ChanOutput(int* out, int* count) : _out(out), _count(count) { *_count = 0; }
    void Append(int channel) { _out[(*_count)++] = channel; }
    void Only(int channel) {
        *_count = 0;
        Append(channel);
    }
    void CopyAll(const int* chans, int count) {
        for (int i = 0; i < count; ++i) Append(chans[i]);
    }
    bool Empty() const { return *_count == 0; }

private:
    int* _out;
    int* _count;
};

bool is_candidate(const int* chans, int count, int channel) {
    for (int i = 0; i < count; ++i)
        if (chans[i] == channel) return true;
    return false;
}

bool is_5g_coex_channel(int channel) {
    return (channel >= 36 && channel <= 48) || (channel >= 149 && channel <= 165);
}

void filter_5g(const int* chans, int count, uint32_t chan_list_mask, uint32_t acs_mask,
               uint32_t oper_chan, ChanOutput& out) {
    if ((chan_list_mask & acs_mask) == 0) {
        if (oper_chan != 0) {
            out.Only(static_cast<int>(oper_chan));
            WLAN_TRACE("LTE_COEX: 5G use ap_oper_chan!\n");
        } else {
            out.CopyAll(chans, count);
            WLAN_TRACE("LTE_COEX: 5G use all valid channels for ACS!\n");
        }
        return;
    }
    for (int i = 0; i < count; ++i)
        if (is_5g_coex_channel(chans[i]) && (coex_chan_bit(chans[i]) & acs_mask) != 0)
            out.Append(chans[i]);
    WLAN_TRACE("LTE_COEX: 5G use new channels for ACS!\n");
}

void filter_2g(const int* chans, int count, uint32_t acs_mask, uint32_t oper_chan,
               ChanOutput& out) {
    // Only the three non-overlapping channels can come out of the mask test.
    static const int kNonOverlapping[] = {1, 6, 11};
    for (int channel : kNonOverlapping)
        if (is_candidate(chans, count, channel) && (coex_chan_bit(channel) & acs_mask) != 0)
            out.Append(channel);
    if (!out.Empty()) {
        WLAN_TRACE("LTE_COEX: 2.4G use new channels for ACS!\n");
    } else if (oper_chan != 0) {
        out.Only(static_cast<int>(oper_chan));
        WLAN_TRACE("LTE_COEX: 2.4G use ap_oper_chan!\n");
    } else {
        out.CopyAll(chans, count);
        WLAN_TRACE("LTE_COEX: 2.4G use all valid channels for ACS!\n");
    }
}

}  // namespace

extern "C" WLAN_EXPORT void bcm_lte_coex_get_acs_chanlist(const int* chans, int count, int* out,
                                                          int* out_count, int is_5g) {
    if (out == nullptr || out_count == nullptr) return;
    if (chans == nullptr || count < 0) count = 0;
    ChanOutput result(out, out_count);

    HostapdAgent* agent = coex_agent_or_log();
    if (agent == nullptr) {
        result.Only(is_5g != 0 && count > 0 ? chans[0] : 6);
        return;
    }

    uint32_t chan_list_mask = 0;
    for (int i = 0; i < count; ++i) chan_list_mask |= coex_chan_bit(chans[i]);
    WLAN_TRACE("LTE_COEX: chan_list_mask: %d\n", static_cast<int>(chan_list_mask));
    uint32_t acs_mask = static_cast<uint32_t>(coex_load(agent->lte_coex.acs_chan_mask));
    uint32_t oper_chan = coex_load(agent->lte_coex.ap_oper_chan);

    if (acs_mask == 0) {
        if (oper_chan != 0) {
            result.Only(static_cast<int>(oper_chan));
            WLAN_LOG5("LTE_COEX: lte_coex.acs_chan_mask is 0! no need to change channel!");
        } else {
            result.CopyAll(chans, count);
            WLAN_LOG5("LTE_COEX: lte_coex.acs_chan_mask is 0! ACS in valid channels!");
        }
        return;
    }

    WLAN_TRACE("LTE_COEX: acs_chan_mask: %d\n", static_cast<int>(acs_mask));
    if ((coex_chan_bit(oper_chan) & acs_mask) != 0) {
        result.Only(static_cast<int>(oper_chan));
        WLAN_LOG5(
            "LTE_COEX: channel %d is in lte_coex.acs_chan_mask %d! no need to change "
            "channel!",
            static_cast<int>(oper_chan), static_cast<int>(acs_mask));
        return;
    }
    WLAN_TRACE(
        "LTE_COEX: ap_oper_chan is 0 or not in lte_coex.acs_chan_mask! Need to change "
        "channel!");

    if (is_5g != 0)
        filter_5g(chans, count, chan_list_mask, acs_mask, oper_chan, result);
    else
        filter_2g(chans, count, acs_mask, oper_chan, result);
}
