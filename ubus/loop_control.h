#ifndef WLAN_UBUS_LOOP_CONTROL_H
#define WLAN_UBUS_LOOP_CONTROL_H

#include <libubus.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

class UbusAssistant;

// What another thread needs to steer the assistant's loop thread: a wake pipe that the loop
// watches, through which work reaches the loop thread, and the thread's lifetime.
//
// A bus connection must only be used by the loop thread while its loop runs, and uloop_end
// alone does not wake a waiting loop (a request made before the loop starts is even cleared
// by uloop_run). What sits in the pipe stays readable until the loop reads it, so work posted
// before the loop starts is not lost.
struct UbusLoopControl {
    // Work run on the loop thread, with the owning assistant.
    using Work = void (*)(UbusAssistant* owner);
    // Ends the loop once the current callback has returned.
    static void Quit(UbusAssistant* owner);

    explicit UbusLoopControl(UbusAssistant* owner);
    ~UbusLoopControl();
    UbusLoopControl(const UbusLoopControl&) = delete;
    UbusLoopControl& operator=(const UbusLoopControl&) = delete;

    // Opens the pipe and adds it to the event loop (after uloop_init); closes and removes it.
    bool OpenWakePipe();
    void CloseWakePipe();
    bool HasWakePipe() const { return pipe_fds[0] >= 0; }
    // Hands work to the loop thread; false when there is no pipe.
    bool Post(Work work);

    // Thread lifetime: MarkStarted before the thread is created, EnterThread first thing on
    // it, MarkEnded as its last use of the assistant.
    void MarkStarted();
    void EnterThread();
    void MarkEnded();
    bool Alive();
    bool OnLoopThread();
    // Waits until the thread has ended; false when it still runs after `limit`.
    bool WaitEnded(std::chrono::milliseconds limit);

    // The loop hands its callback the uloop_fd; the record leads back to the control.
    struct Watcher {
        uloop_fd fd;
        UbusLoopControl* control;
    };

    UbusAssistant* const owner;
    int pipe_fds[2] = {-1, -1};
    Watcher watcher = {};

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool alive_ = false;
    bool thread_known_ = false;
    pthread_t thread_ = {};
};

#endif
