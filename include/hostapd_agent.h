#ifndef WLAN_HOSTAPD_AGENT_H
#define WLAN_HOSTAPD_AGENT_H

#include <pthread.h>
#include <signal.h>
#include <stdint.h>

#include <atomic>

#include "sta_list.h"
#include "wlan_coex.h"
#include "wlan_config.h"
#include "wlan_event.h"
#include "wlan_export.h"
#include "wlan_time.h"

struct ubus_context;
class UbusAssistant;

typedef enum ha_wlan_event_sta_change_type {
    HA_WLAN_STA_LEFT = 0,
    HA_WLAN_STA_JOIN = 1,
} ha_wlan_event_sta_change_type;

// WPS outcome codes kept in _last_wps_result.
enum {
    WPS_RESULT_FAILURE = 0,
    WPS_RESULT_SUCCESS = 1,
    WPS_RESULT_PBC_OVERLAP = 2,
    WPS_RESULT_TIMEOUT = 3,
    WPS_RESULT_STARTED = 5,
};

// The one object through which the host runs the Wi-Fi access point.
class WLAN_EXPORT HostapdAgent {
public:
    HostapdAgent();
    ~HostapdAgent();
    HostapdAgent(const HostapdAgent&) = delete;
    HostapdAgent& operator=(const HostapdAgent&) = delete;

    // Lifecycle and spy loop.
    int StartSpy();
    int StopSpy();
    void* SpyWork(void* unused);
    void SetWlanOn(bool on);
    bool GetWlanOn();
    void SetFailHandled(bool handled);
    bool GetFailHandled();
    void HandleMsg(const char* msg, int length);
    void NotifyStaChange(ha_wlan_event_sta_change_type type, const char* mac);
    void BroadcastStaNum();
    void HandleApStartFailure();
    void HandleApFWError();
    bool UseInternalUbus();
    void SetUbusContext(ubus_context* ctx);
    void updateAcl(const char* text);

    // Bus connection.
    int ConnectUbus();
    int DisconnectUbus();

    // Station details.
    int32_t GetStaNum();
    StaList* GetStaList();
    int UpdateAllStaInfo();
    void ClearAllStaInfo();
    int BcmGetAllStaMac();
    void GetAllStaHostname();
    void GetAllStaIP();
    void UpdateSingleStaHost(const char* mac);
    void UpdateSingleStaIP(const char* mac);
    void UpdateSingleSta(const char* mac);
    void CompleteAllStaInfo();
    void UpdateAllStaOnlineTime();
    void PrintStaInfo();
    void DropArpCache();

    // Event callback registry (class-wide).
    static int InitEventCb();
    static int DeinitEventCb();
    static void ClearEventCbs();
    static int RegisterEventCb(ha_wlan_event_cb cb);
    static int UnregisterEventCb(ha_wlan_event_cb cb);
    static void RegCountDownCb(ha_wlan_event_cb cb);
    static void InvokeEventCbs(ha_wlan_event_type type, void* data);

    // Auto-down countdown (class-wide but SetAutoDisTime).
    static void SetWlanCountDown(long seconds);
    static long GetWlanCountDown();
    static int ResetCountDown();
    static int StartCountDown();
    static int StopCountDown();
    static int DeleteCountDownTimer();
    static void WlanAutoDownTimerCb(int signo, siginfo_t* info, void* context);
    int SetAutoDisTime();

    // WPS.
    int BcmWPSEnable();
    int BcmWPSDisable();
    int StartWPS(const char* pin);
    int BcmWPSStart(const char* pin);
    int CancelWPS();
    int BcmWPSStop();
    void HandleWPSMsg(const char* msg);
    void BcmHandleWPSMsg(const char* msg);
    bool IsWPSFeatured();
    bool IsWPSProcedureOn();
    int32_t GetLastWPSResult();

    // Radio start and stop.
    int BcmWLStart();
    int BcmWLStop();
    int BcmWLDeauthAll();
    void BcmUpdateAcl(wlan_mgr_bss_config* bss);

    // Read-only views for the other subsystems of the library.
    bool IsRunning() const { return _running; }
    bool IsStarted() const { return _started; }
    UbusAssistant* GetUbusAssistant() const { return _ua; }
    ubus_context* GetUbusContext() const { return _ctx; }

    // LTE coexistence state, read and written only by the coexistence code.
    lte_coex_state_t lte_coex;

    // Class-wide state.
    static std::atomic<bool> sta_associated_yet;
    static std::atomic<int32_t> cur_tick;
    static std::atomic<long> wlan_count_down;
    static bool _evt_cb_ok;
    static ha_wlan_event_cb _evt_cbs[5];
    static pthread_mutex_t _evt_cb_mut;

private:
    std::atomic<bool> _wlan_on;
    bool _fail_handled;
    char _ifname[32];
    StaList* _sta_list;
    std::atomic<bool> _running;
    std::atomic<bool> _spy_on;
    std::atomic<bool> _started;
    ubus_context* _ctx;
    UbusAssistant* _ua;
    char _ubus_path[32];
    bool _internal_ubus;
    std::atomic<bool> _wps_on;
    std::atomic<int32_t> _last_wps_result;
    std::atomic<bool> _wps_featured;
};

#endif
