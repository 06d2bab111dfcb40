// The test-only control API of the stand-in.
#include "wpscli_test.h"

#include "standin.h"

using wpscli::StandIn;

extern "C" void wpscli_test_reset(void) { StandIn::Instance().Reset(); }

extern "C" int wpscli_test_set_status(const char* call, brcm_wpscli_status status) {
    return StandIn::Instance().SetStatus(call, status, false);
}

extern "C" int wpscli_test_queue_status(const char* call, brcm_wpscli_status status) {
    return StandIn::Instance().SetStatus(call, status, true);
}

extern "C" int wpscli_test_set_exchange(const struct wpscli_test_step* steps, size_t count) {
    return StandIn::Instance().SetExchange(steps, count);
}

extern "C" size_t wpscli_test_call_count(void) { return StandIn::Instance().CallCount(); }

extern "C" size_t wpscli_test_count(const char* call) {
    return StandIn::Instance().CallCount(call);
}

extern "C" int wpscli_test_get_call(size_t index, struct wpscli_test_call* out) {
    return StandIn::Instance().GetCall(index, out);
}

extern "C" int wpscli_test_wait_calls(const char* call, size_t count, unsigned timeout_ms) {
    return StandIn::Instance().WaitCalls(call, count, timeout_ms) ? 1 : 0;
}
