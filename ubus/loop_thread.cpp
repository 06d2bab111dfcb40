// The uloop thread of an own connection: starting it, and ending it before anyone else uses
// the connection again.
#include <pthread.h>

#include "hostapd_agent.h"
#include "ubus/loop_control.h"
#include "ubus_assistant.h"
#include "util/log.h"

namespace {

// Longer than any handler blocks the loop thread (switching Wi-Fi waits up to 10 s).
constexpr std::chrono::milliseconds kLoopEndWait{30000};

}  // namespace

void* UbusAssistant::_LoopThreadMain(void* arg) {
    auto* ua = static_cast<UbusAssistant*>(arg);
    if (ua == nullptr) return nullptr;
    UbusLoopControl* control = ua->_loop_ctl;
    control->EnterThread();
    pthread_setname_np(pthread_self(), "wlan_uloop");
    ua->SetLoopRunning(true);
    uloop_run();
    ua->SetLoopRunning(false);
    control->MarkEnded();
    return nullptr;
}

int UbusAssistant::RunLoop() {
    if (!_OwnsConnection()) return 0;
    if (_loop_running || _loop_ctl->Alive()) {
        wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::RunLoop: loop already running.");
        return -1;
    }
    if (_ctx == nullptr) {
        wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::RunLoop: context NULL.");
        return -2;
    }
    // Without Init's loop setup the thread could neither wait for events nor be ended.
    if (!_loop_ctl->HasWakePipe()) {
        wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::RunLoop: uloop not initialised.");
        return -2;
    }
    _loop_ctl->MarkStarted();
    if (pthread_create(&_loop_thread, nullptr, _LoopThreadMain, this) != 0) {
        _loop_ctl->MarkEnded();
        wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::RunLoop: Failed to create uloop thread.");
        return -2;
    }
    if (pthread_detach(_loop_thread) != 0) {
        wlan_errlog(WLAN_PRIO_ERROR, "UbusAssistant::RunLoop: uloop thread detach error.");
        StopLoop();
        pthread_join(_loop_thread, nullptr);
        return -3;
    }
    wlan_errlog(WLAN_PRIO_WARN, "UbusAssistant::RunLoop: uloop thread started.");
    return 0;
}

bool UbusAssistant::_HandToLoopThread(void (*work)(UbusAssistant*)) {
    if (!_OwnsConnection() || !_loop_ctl->Alive() || _loop_ctl->OnLoopThread()) return false;
    return _loop_ctl->Post(work);
}

void UbusAssistant::StopLoop() {
    if (!_OwnsConnection()) return;
    _EndLoopThread();
}

bool UbusAssistant::_EndLoopThread() {
    if (!_loop_ctl->Alive()) return true;
    _loop_ctl->Post(UbusLoopControl::Quit);
    // The loop thread cannot wait for itself; its loop ends once the current callback returns.
    if (_loop_ctl->OnLoopThread()) return false;
    if (_loop_ctl->WaitEnded(kLoopEndWait)) return true;
    WLAN_LOG5("UbusAssistant::StopLoop: uloop thread did not end.");
    return false;
}
