#ifndef WPSCLI_STANDIN_H
#define WPSCLI_STANDIN_H

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "call_text.h"
#include "wpscli_test.h"

namespace wpscli {

enum class Call {
    kOpen,
    kClose,
    kConstructDevinfo,
    kEnableWps,
    kDisableWps,
    kSetWpsContext,
    kStartWps,
    kProcessEapwps,
    kCloseSession,
    kAbort,
};
constexpr size_t kCallKinds = 10;

const char* CallName(Call call);
bool FindCall(const char* name, Call* call);

// The state behind the library's entry points and the test API: the call record, the scripted
// statuses, the session and its exchange. One instance per process; every member is guarded
// by one mutex.
class StandIn {
public:
    static StandIn& Instance();

    // A call other than process_eapwps: recorded, then answered with its scripted status or,
    // without one, `own`. Only a call answered with 0 takes effect.
    brcm_wpscli_status Plain(Call call, const CallText& text, brcm_wpscli_status own);
    // process_eapwps: recorded, then plays the next exchange step. `own` is non-zero when the
    // arguments are unusable; it is returned without playing a step.
    brcm_wpscli_status Exchange(const CallText& text, brcm_wpscli_status own);

    void Reset();
    int SetStatus(const char* name, brcm_wpscli_status status, bool once);
    int SetExchange(const wpscli_test_step* steps, size_t count);
    size_t CallCount();
    size_t CallCount(const char* name);
    int GetCall(size_t index, wpscli_test_call* out);
    bool WaitCalls(const char* name, size_t count, unsigned timeout_ms);

private:
    using Lock = std::unique_lock<std::mutex>;

    struct Script {
        std::deque<brcm_wpscli_status> once;
        bool has_sticky = false;
        brcm_wpscli_status sticky = BRCM_WPSCLI_SUCCESS;
    };

    StandIn();
    size_t Record(Call call, const CallText& text);
    void Finish(size_t index, uint64_t generation, brcm_wpscli_status status);
    brcm_wpscli_status Scripted(Call call, brcm_wpscli_status own);
    void Apply(Call call);
    bool IsAborted() const { return aborts_ != aborts_closed_; }
    // Waits the step's pause; true when an abort or a reset ended it.
    bool Pause(Lock& lock, unsigned pause_ms);

    std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;  // counts resets
    std::vector<wpscli_test_call> calls_;
    std::array<size_t, kCallKinds> counts_{};
    std::array<Script, kCallKinds> scripts_{};
    std::vector<wpscli_test_step> exchange_;
    size_t next_step_ = 0;
    bool session_open_ = false;
    uint64_t aborts_ = 0;         // successful aborts so far
    uint64_t aborts_closed_ = 0;  // of those, the ones whose session has been closed
};

}  // namespace wpscli

#endif
