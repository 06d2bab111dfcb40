#ifndef WLAN_UBUS_ASSISTANT_H
#define WLAN_UBUS_ASSISTANT_H

#include <pthread.h>

#include <atomic>

#include "wlan_export.h"

struct ubus_context;
class HostapdAgent;
struct UbusLoopControl;

// Joins the agent to the bus: the service object and its methods, the event subscriptions,
// the loop thread of an own connection, the work queue and the event broadcasts.
class WLAN_EXPORT UbusAssistant {
public:
    UbusAssistant(HostapdAgent* agent, ubus_context* ctx);
    ~UbusAssistant();
    UbusAssistant(const UbusAssistant&) = delete;
    UbusAssistant& operator=(const UbusAssistant&) = delete;

    int Init();
    void Deinit();
    int RunLoop();
    // With an own connection: ends the event loop and waits (bounded) for the loop thread.
    void StopLoop();
    bool IsLoopRunning();
    // Whether the loop thread has been started and has not ended yet.
    bool IsLoopThreadAlive();
    void SetLoopRunning(bool running);
    ubus_context* _GetUbusContext();
    // While the loop thread of an own connection runs, only it may use the connection: called
    // on another thread, this queues work(this) to the loop thread and returns true. Returns
    // false when the caller may use the connection itself.
    bool _HandToLoopThread(void (*work)(UbusAssistant*));
    HostapdAgent* GetAgent() const { return _agent; }
    // Broadcasts event with one string field key = value through "ubus send".
    void CastEvent(const char* event, const char* key, const char* value);
    void OnApStartFailure();
    void OnApFWError();
    void LastRpc();

    // Held around every read-change-write of /etc/hostapd.conf by a bus handler.
    static pthread_mutex_t wlan_conf_lock;

private:
    static void* _LoopThreadMain(void* arg);
    bool _OwnsConnection();
    bool _EndLoopThread();
    void _RunLastRpc();

    ubus_context* _ctx;
    bool _registered;
    std::atomic<bool> _loop_running;
    HostapdAgent* _agent;
    pthread_t _loop_thread;
    UbusLoopControl* _loop_ctl;
};

#ifdef __cplusplus
extern "C" {
#endif

// Asks the platform's mobile-AP manager to restart Wi-Fi.
WLAN_EXPORT int ubus_restart_wlan(void);
// The connection the last restart request used.
WLAN_EXPORT extern struct ubus_context* _ubus_ctx;

#ifdef __cplusplus
}
#endif

#endif
