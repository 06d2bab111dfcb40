// The library's entry points: each records its call and lets the stand-in answer it.
#include "wpscli.h"

#include "call_text.h"
#include "standin.h"

using wpscli::Call;
using wpscli::CallName;
using wpscli::CallText;
using wpscli::StandIn;

namespace {

brcm_wpscli_status Required(bool present) {
    return present ? BRCM_WPSCLI_SUCCESS : BRCM_WPSCLI_INVALID_ARG;
}

brcm_wpscli_status NoArguments(Call call) {
    return StandIn::Instance().Plain(call, CallText(CallName(call)), BRCM_WPSCLI_SUCCESS);
}

}  // namespace

extern "C" brcm_wpscli_status brcm_wpscli_open(const char* dev_if_name, const char* bridge_if_name,
                                               int reserved1, int reserved2, int reserved3) {
    CallText text(CallName(Call::kOpen));
    text.Text(dev_if_name)
        .Text(bridge_if_name)
        .Number(reserved1)
        .Number(reserved2)
        .Number(reserved3);
    return StandIn::Instance().Plain(Call::kOpen, text,
                                     Required(dev_if_name != nullptr && bridge_if_name != nullptr));
}

extern "C" brcm_wpscli_status brcm_wpscli_close(void) { return NoArguments(Call::kClose); }

extern "C" brcm_wpscli_status wpscli_softap_construct_def_devinfo(void) {
    return NoArguments(Call::kConstructDevinfo);
}

extern "C" brcm_wpscli_status brcm_wpscli_softap_enable_wps(const char* manufacturer,
                                                            uint16_t config_methods, int reserved1,
                                                            int reserved2) {
    CallText text(CallName(Call::kEnableWps));
    text.Text(manufacturer).Number(config_methods).Number(reserved1).Number(reserved2);
    return StandIn::Instance().Plain(Call::kEnableWps, text, Required(manufacturer != nullptr));
}

extern "C" brcm_wpscli_status brcm_wpscli_softap_disable_wps(void) {
    return NoArguments(Call::kDisableWps);
}

extern "C" brcm_wpscli_status brcm_wpscli_softap_set_wps_context(
    const brcm_wpscli_nw_settings* settings, const char* pin, int reserved1, int reserved2) {
    CallText text(CallName(Call::kSetWpsContext));
    text.Settings(settings).Text(pin).Number(reserved1).Number(reserved2);
    return StandIn::Instance().Plain(Call::kSetWpsContext, text, Required(settings != nullptr));
}

extern "C" brcm_wpscli_status brcm_wpscli_softap_start_wps(int reserved1, int mode, const char* pin,
                                                           const brcm_wpscli_nw_settings* settings,
                                                           uint32_t timeout_sec, uint8_t* peer_addr,
                                                           int reserved2, int reserved3) {
    CallText text(CallName(Call::kStartWps));
    text.Number(reserved1).Number(mode).Text(pin).Settings(settings).Number(timeout_sec);
    text.Buffer(peer_addr).Number(reserved2).Number(reserved3);
    bool mode_ok = mode == BRCM_WPSCLI_MODE_PBC || (mode == BRCM_WPSCLI_MODE_PIN && pin != nullptr);
    return StandIn::Instance().Plain(
        Call::kStartWps, text, Required(mode_ok && settings != nullptr && peer_addr != nullptr));
}

extern "C" brcm_wpscli_status brcm_wpscli_softap_process_eapwps(uint8_t* peer_addr) {
    CallText text(CallName(Call::kProcessEapwps));
    text.Buffer(peer_addr);
    return StandIn::Instance().Exchange(text, Required(peer_addr != nullptr));
}

extern "C" brcm_wpscli_status brcm_wpscli_softap_close_session(void) {
    return NoArguments(Call::kCloseSession);
}

extern "C" brcm_wpscli_status brcm_wpscli_abort(void) { return NoArguments(Call::kAbort); }
