#ifndef WLAN_UBUS_SHARED_H
#define WLAN_UBUS_SHARED_H

// State and names shared by the assistant, its method handlers and its event callbacks.
//
// Method handlers (one per method of the service object) are named ubus_wlan_ plus the
// operation, and that name starts their log lines. Each one:
//   1. reaches the agent only through a ShadowAgentHold kept for the whole call
//      (ubus/shadow_agent.h) and loads _shadow_ua once into a local; it answers their absence
//      as its method requires;
//   2. parses the request against its own policy (ubus/method_policies.h);
//   3. builds any reply in _reply_buf: blob_buf_init(&_reply_buf, 0), the fields in order,
//      ubus_send_reply on the connection of _shadow_ua for this request, blob_buf_free;
//   4. returns the call's status.
// Handlers and the OLED and system event callbacks run one at a time on the thread that
// dispatches the connection, so _reply_buf needs no lock. Work that must not run there goes to
// the work queue through ha_wq_put.

extern "C" {
#include <libubox/blobmsg.h>
}
#include <libubus.h>
#include <wq.h>

#include <atomic>

#include "ubus/shadow_agent.h"

class HostapdAgent;
class UbusAssistant;

// Valid from UbusAssistant::Init until Deinit; null otherwise.
extern std::atomic<HostapdAgent*> _shadow_agent;
extern std::atomic<UbusAssistant*> _shadow_ua;

// The one reply buffer of all method handlers.
extern blob_buf _reply_buf;

// Set and cleared by the system event, read by the key and USB jobs.
extern std::atomic<bool> _power_bank_on;

// The assistant's work queue; created by Init, destroyed by Deinit.
extern wq_t* _ha_wq;

// Whether the work queue exists.
bool ha_wq_ready();
// Queues a job on _ha_wq like put_work_to_wq. Returns -1, and runs nothing (not even
// release), when the queue does not exist or does not take the job; the caller then still owns
// what it meant to hand over. Safe against Deinit destroying the queue at the same time.
int ha_wq_put(wq_func_t job, void* argument, wq_func_t release, void* release_argument);
// Detaches the queue from _ha_wq (later puts fail) and destroys it.
void ha_wq_destroy();
// Creates the queue into _ha_wq; false when it could not be created.
bool ha_wq_create();

// Method handlers, in the order of the method table.
int ubus_wlan_set_switch(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                         const char* method, blob_attr* msg);
int ubus_wlan_get_stas(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                       const char* method, blob_attr* msg);
int ubus_wlan_get_sta_num(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                          const char* method, blob_attr* msg);
int ubus_wlan_get_switch(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                         const char* method, blob_attr* msg);
int ubus_wlan_start_wps(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                        const char* method, blob_attr* msg);
int ubus_wlan_cancel_wps(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                         const char* method, blob_attr* msg);
int ubus_wlan_get_wps_status(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                             const char* method, blob_attr* msg);
int ubus_wlan_last_rpc(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                       const char* method, blob_attr* msg);
int ubus_wlan_getconfig(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                        const char* method, blob_attr* msg);
int ubus_wlan_setconfig(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                        const char* method, blob_attr* msg);
int ubus_wlan_get_client_mac(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                             const char* method, blob_attr* msg);
int ubus_wlan_get_5G_support(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                             const char* method, blob_attr* msg);
int ubus_wlan_get_region_info_list(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                                   const char* method, blob_attr* msg);
int ubus_wlan_get_ps_status(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                            const char* method, blob_attr* msg);
int ubus_wlan_set_ps_status(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                            const char* method, blob_attr* msg);
int ubus_wlan_receive_wwan_state(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                                 const char* method, blob_attr* msg);
int ubus_wlan_set_sta_config(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                             const char* method, blob_attr* msg);
int ubus_wlan_set_static_ip_config(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                                   const char* method, blob_attr* msg);
int ubus_wlan_get_scan_result(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                              const char* method, blob_attr* msg);
int ubus_wlan_get_connected_info(ubus_context* ctx, ubus_object* obj, ubus_request_data* req,
                                 const char* method, blob_attr* msg);

// Event callbacks of the four subscriptions, in the order Init registers them.
void on_key_event(ubus_context* ctx, ubus_event_handler* ev, const char* type, blob_attr* msg);
void on_usb_event(ubus_context* ctx, ubus_event_handler* ev, const char* type, blob_attr* msg);
void on_oled_event(ubus_context* ctx, ubus_event_handler* ev, const char* type, blob_attr* msg);
void _handle_system_event_msg(ubus_context* ctx, ubus_event_handler* ev, const char* type,
                              blob_attr* msg);

// Frees the station-mode static IP list when it exists (Deinit).
void static_ip_config_release();

// Switches the AP configuration to band 0 (2.4 GHz) or 1 (5 GHz) and asks the platform to
// restart Wi-Fi; nothing happens when the configuration already has that band.
void change_wlan_band(int32_t band);

#endif
