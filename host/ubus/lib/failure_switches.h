// Failures that tests order through ubus_test_hooks.h: the next N calls of an operation fail.
#ifndef UBUS_STANDIN_FAILURE_SWITCHES_H
#define UBUS_STANDIN_FAILURE_SWITCHES_H

#include <mutex>

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

FailureSwitch& ConnectFailures();
FailureSwitch& AddObjectFailures();
FailureSwitch& RegisterEventFailures();

}  // namespace ubus_standin

#endif
