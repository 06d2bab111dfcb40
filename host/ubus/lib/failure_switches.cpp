#include "failure_switches.h"

namespace ubus_standin {

void FailureSwitch::Arm(int count, int status) {
    std::lock_guard<std::mutex> lock(mutex_);
    remaining_ = count > 0 ? count : 0;
    status_ = status;
}

bool FailureSwitch::Trip(int* status) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (remaining_ == 0) return false;
    --remaining_;
    *status = status_;
    return true;
}

FailureSwitch& ConnectFailures() {
    static FailureSwitch failures;
    return failures;
}

FailureSwitch& AddObjectFailures() {
    static FailureSwitch failures;
    return failures;
}

void PatternFailure::Arm(const char* pattern, int status) {
    std::lock_guard<std::mutex> lock(mutex_);
    armed_ = pattern != nullptr;
    pattern_ = pattern != nullptr ? pattern : "";
    status_ = status;
}

bool PatternFailure::Trip(const char* pattern, int* status) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!armed_ || pattern == nullptr || pattern_ != pattern) return false;
    armed_ = false;
    *status = status_;
    return true;
}

PatternFailure& RegisterPatternFailure() {
    static PatternFailure failure;
    return failure;
}

FailureSwitch& RegisterEventFailures() {
    static FailureSwitch failures;
    return failures;
}

}  // namespace ubus_standin
