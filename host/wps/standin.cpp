#include "standin.h"

#include <string.h>

#include <algorithm>
#include <chrono>
#include <limits>

namespace wpscli {
namespace {

constexpr const char* kCallNames[kCallKinds] = {
    "brcm_wpscli_open",
    "brcm_wpscli_close",
    "wpscli_softap_construct_def_devinfo",
    "brcm_wpscli_softap_enable_wps",
    "brcm_wpscli_softap_disable_wps",
    "brcm_wpscli_softap_set_wps_context",
    "brcm_wpscli_softap_start_wps",
    "brcm_wpscli_softap_process_eapwps",
    "brcm_wpscli_softap_close_session",
    "brcm_wpscli_abort",
};

constexpr size_t kNotKept = std::numeric_limits<size_t>::max();
const wpscli_test_step kDefaultStep = {BRCM_WPSCLI_SUCCESS, 0};

size_t IndexOf(Call call) { return static_cast<size_t>(call); }

}  // namespace

const char* CallName(Call call) { return kCallNames[IndexOf(call)]; }

bool FindCall(const char* name, Call* call) {
    if (name == nullptr) return false;
    for (size_t i = 0; i < kCallKinds; ++i) {
        if (strcmp(name, kCallNames[i]) == 0) {
            *call = static_cast<Call>(i);
            return true;
        }
    }
    return false;
}

StandIn& StandIn::Instance() {
    // Never destroyed: a detached thread may still be inside a call at exit.
    static StandIn* instance = new StandIn;
    return *instance;
}

StandIn::StandIn() : exchange_{kDefaultStep} {}

brcm_wpscli_status StandIn::Plain(Call call, const CallText& text, brcm_wpscli_status own) {
    Lock lock(mutex_);
    uint64_t generation = generation_;
    size_t index = Record(call, text);
    brcm_wpscli_status status = Scripted(call, own);
    if (status == BRCM_WPSCLI_SUCCESS) Apply(call);
    Finish(index, generation, status);
    return status;
}

brcm_wpscli_status StandIn::Exchange(const CallText& text, brcm_wpscli_status own) {
    Lock lock(mutex_);
    uint64_t generation = generation_;
    size_t index = Record(Call::kProcessEapwps, text);
    brcm_wpscli_status status = own;
    if (status == BRCM_WPSCLI_SUCCESS && !session_open_) status = BRCM_WPSCLI_ERROR;
    if (status == BRCM_WPSCLI_SUCCESS) {
        wpscli_test_step step = exchange_[std::min(next_step_, exchange_.size() - 1)];
        ++next_step_;
        bool aborted = IsAborted() || Pause(lock, step.pause_ms);
        status = aborted ? BRCM_WPSCLI_ABORTED : step.status;
    }
    Finish(index, generation, status);
    return status;
}

bool StandIn::Pause(Lock& lock, unsigned pause_ms) {
    const uint64_t aborts = aborts_;
    const uint64_t generation = generation_;
    auto ended = [&] { return aborts_ != aborts || generation_ != generation; };
    if (pause_ms == WPSCLI_TEST_UNTIL_ABORT) {
        changed_.wait(lock, ended);
        return true;
    }
    if (pause_ms == 0) return false;
    return changed_.wait_for(lock, std::chrono::milliseconds(pause_ms), ended);
}

size_t StandIn::Record(Call call, const CallText& text) {
    ++counts_[IndexOf(call)];
    size_t index = kNotKept;
    if (calls_.size() < WPSCLI_TEST_MAX_CALLS) {
        index = calls_.size();
        calls_.emplace_back();
        text.Fill(&calls_.back());
    }
    changed_.notify_all();
    return index;
}

void StandIn::Finish(size_t index, uint64_t generation, brcm_wpscli_status status) {
    // A reset while the call was waiting has dropped its record.
    if (index == kNotKept || generation != generation_) return;
    calls_[index].returned = 1;
    calls_[index].status = status;
}

brcm_wpscli_status StandIn::Scripted(Call call, brcm_wpscli_status own) {
    Script& script = scripts_[IndexOf(call)];
    if (!script.once.empty()) {
        brcm_wpscli_status status = script.once.front();
        script.once.pop_front();
        return status;
    }
    return script.has_sticky ? script.sticky : own;
}

void StandIn::Apply(Call call) {
    switch (call) {
        case Call::kStartWps:
            session_open_ = true;
            next_step_ = 0;
            break;
        case Call::kCloseSession:
        case Call::kClose:
            session_open_ = false;
            aborts_closed_ = aborts_;
            break;
        case Call::kAbort:
            ++aborts_;
            changed_.notify_all();
            break;
        default:
            break;
    }
}

void StandIn::Reset() {
    Lock lock(mutex_);
    ++generation_;
    calls_.clear();
    counts_.fill(0);
    scripts_.fill(Script{});
    exchange_.assign(1, kDefaultStep);
    next_step_ = 0;
    session_open_ = false;
    aborts_ = 0;
    aborts_closed_ = 0;
    changed_.notify_all();
}

int StandIn::SetStatus(const char* name, brcm_wpscli_status status, bool once) {
    Call call;
    if (!FindCall(name, &call) || call == Call::kProcessEapwps) return -1;
    Lock lock(mutex_);
    Script& script = scripts_[IndexOf(call)];
    if (once) {
        script.once.push_back(status);
    } else {
        script.has_sticky = true;
        script.sticky = status;
    }
    return 0;
}

int StandIn::SetExchange(const wpscli_test_step* steps, size_t count) {
    if (steps == nullptr || count == 0) return -1;
    Lock lock(mutex_);
    exchange_.assign(steps, steps + count);
    return 0;
}

size_t StandIn::CallCount() {
    Lock lock(mutex_);
    size_t total = 0;
    for (size_t count : counts_) total += count;
    return total;
}

size_t StandIn::CallCount(const char* name) {
    Call call;
    if (!FindCall(name, &call)) return 0;
    Lock lock(mutex_);
    return counts_[IndexOf(call)];
}

int StandIn::GetCall(size_t index, wpscli_test_call* out) {
    if (out == nullptr) return -1;
    Lock lock(mutex_);
    if (index >= calls_.size()) return -1;
    *out = calls_[index];
    return 0;
}

bool StandIn::WaitCalls(const char* name, size_t count, unsigned timeout_ms) {
    Call call;
    if (!FindCall(name, &call)) return false;
    Lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                             [&] { return counts_[IndexOf(call)] >= count; });
}

}  // namespace wpscli
