// Failures that tests order through ubus_test_hooks.h: the next N calls of an operation fail.
#ifndef UBUS_STANDIN_FAILURE_SWITCHES_H
#define UBUS_STANDIN_FAILURE_SWITCHES_H

#include <mutex>
#include <string>

namespace ubus_standin {

class FailureSwitch {
public:
    void Arm(int count, int status);
    // True (with the status to return) when this call is to fail.
    bool Trip(int* status);

private:
    std::mutex mutex_;
    int remaining_ = 0;
    int status_ = 0;
};

// A failure bound to one event pattern: the next registration for exactly that pattern fails.
class PatternFailure {
public:
    void Arm(const char* pattern, int status);
    bool Trip(const char* pattern, int* status);

private:
    std::mutex mutex_;
    std::string pattern_;
    int status_ = 0;
    bool armed_ = false;
};

FailureSwitch& ConnectFailures();
FailureSwitch& AddObjectFailures();
FailureSwitch& RegisterEventFailures();
PatternFailure& RegisterPatternFailure();

}  // namespace ubus_standin

#endif
