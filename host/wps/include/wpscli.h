#ifndef WPSCLI_H
#define WPSCLI_H

/* Broadcom WPS library (soft AP side): the calls and types the Wi-Fi manager uses.
 *
 * Every call returns a status, BRCM_WPSCLI_SUCCESS (0) on success. A session runs as:
 * brcm_wpscli_softap_set_wps_context, brcm_wpscli_softap_start_wps, then
 * brcm_wpscli_softap_process_eapwps repeatedly while it returns BRCM_WPSCLI_CONTINUE, then
 * brcm_wpscli_softap_close_session. brcm_wpscli_abort may come from another thread and ends the
 * running exchange with a failure status.
 *
 * Parameters named reserved* have no meaning for this manager: it passes 0 for each.
 */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int brcm_wpscli_status;

/* Status codes. Any code other than the ones the exchange names below counts as a failure. */
#define BRCM_WPSCLI_SUCCESS 0
#define BRCM_WPSCLI_ERROR 1        /* general failure; also a call out of order */
#define BRCM_WPSCLI_INVALID_ARG 2  /* a required argument is missing or out of range */
#define BRCM_WPSCLI_CONTINUE 14    /* process_eapwps: the exchange goes on, call again */
#define BRCM_WPSCLI_ABORTED 16     /* process_eapwps: the exchange was aborted */
#define BRCM_WPSCLI_TIMEOUT 18     /* process_eapwps: the session's time ran out */
#define BRCM_WPSCLI_PBC_OVERLAP 20 /* process_eapwps: two stations pressed the button */

/* Session modes of brcm_wpscli_softap_start_wps. */
#define BRCM_WPSCLI_MODE_PBC 0 /* push button: no PIN */
#define BRCM_WPSCLI_MODE_PIN 1 /* 8-digit PIN */

/* WPS configuration-methods bits of brcm_wpscli_softap_enable_wps. */
#define BRCM_WPSCLI_CONFIG_LABEL 0x0004
#define BRCM_WPSCLI_CONFIG_VIRTUAL_PBC 0x0280

/* Authentication and encryption codes of brcm_wpscli_nw_settings. */
#define BRCM_WPSCLI_AUTH_OPEN 0
#define BRCM_WPSCLI_AUTH_WPAPSK 4
#define BRCM_WPSCLI_ENCR_NONE 0
#define BRCM_WPSCLI_ENCR_TKIP 2
#define BRCM_WPSCLI_ENCR_AES 3 /* CCMP */

/* Size of the peer-address buffer of start_wps and process_eapwps. */
#define BRCM_WPSCLI_PEER_ADDR_LEN 6

/* Network settings handed over by address; the library reads this exact layout. */
typedef struct brcm_wpscli_nw_settings {
    char ssid[33];      /* up to 32 characters and a terminator */
    char nw_key[67];    /* passphrase or 64-digit pre-shared key, terminated */
    int32_t auth_type;  /* BRCM_WPSCLI_AUTH_* */
    int32_t encr_type;  /* BRCM_WPSCLI_ENCR_* */
    uint16_t wep_index; /* always 0 */
} brcm_wpscli_nw_settings;

#ifdef __cplusplus
#define WPSCLI_STATIC_ASSERT static_assert
#else
#define WPSCLI_STATIC_ASSERT _Static_assert
#endif
WPSCLI_STATIC_ASSERT(offsetof(brcm_wpscli_nw_settings, nw_key) == 33, "nw_key at 33");
WPSCLI_STATIC_ASSERT(offsetof(brcm_wpscli_nw_settings, auth_type) == 100, "auth_type at 100");
WPSCLI_STATIC_ASSERT(offsetof(brcm_wpscli_nw_settings, encr_type) == 104, "encr_type at 104");
WPSCLI_STATIC_ASSERT(offsetof(brcm_wpscli_nw_settings, wep_index) == 108, "wep_index at 108");
#undef WPSCLI_STATIC_ASSERT

/* Opens the library on the AP interface (for example "eth0") and its bridge ("br0"). */
brcm_wpscli_status brcm_wpscli_open(const char* dev_if_name, const char* bridge_if_name,
                                    int reserved1, int reserved2, int reserved3);
brcm_wpscli_status brcm_wpscli_close(void);

/* Fills in the library's default device information. */
brcm_wpscli_status wpscli_softap_construct_def_devinfo(void);

/* Enables or disables WPS on the AP; config_methods is a set of BRCM_WPSCLI_CONFIG_* bits. */
brcm_wpscli_status brcm_wpscli_softap_enable_wps(const char* manufacturer, uint16_t config_methods,
                                                 int reserved1, int reserved2);
brcm_wpscli_status brcm_wpscli_softap_disable_wps(void);

/* Hands over the network settings and the PIN of the next session (pin may be NULL). */
brcm_wpscli_status brcm_wpscli_softap_set_wps_context(const brcm_wpscli_nw_settings* settings,
                                                      const char* pin, int reserved1,
                                                      int reserved2);

/* Starts a session in mode BRCM_WPSCLI_MODE_*; pin is NULL for push button. The session runs
 * for at most timeout_sec seconds. peer_addr points to BRCM_WPSCLI_PEER_ADDR_LEN bytes of the
 * caller that the library uses during the exchange. */
brcm_wpscli_status brcm_wpscli_softap_start_wps(int reserved1, int mode, const char* pin,
                                                const brcm_wpscli_nw_settings* settings,
                                                uint32_t timeout_sec, uint8_t* peer_addr,
                                                int reserved2, int reserved3);

/* Runs one step of the exchange with the same peer_addr buffer as start_wps. Returns
 * BRCM_WPSCLI_CONTINUE while the exchange goes on, BRCM_WPSCLI_SUCCESS when a station was
 * given the settings, BRCM_WPSCLI_TIMEOUT, BRCM_WPSCLI_PBC_OVERLAP, or another failure code. */
brcm_wpscli_status brcm_wpscli_softap_process_eapwps(uint8_t* peer_addr);

/* Ends the session started by brcm_wpscli_softap_start_wps. */
brcm_wpscli_status brcm_wpscli_softap_close_session(void);

/* Aborts the running exchange; callable from any thread. */
brcm_wpscli_status brcm_wpscli_abort(void);

#ifdef __cplusplus
}
#endif

#endif
