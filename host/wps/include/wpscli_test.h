#ifndef WPSCLI_TEST_H
#define WPSCLI_TEST_H

/* Test-only control of the WPS library stand-in: what each call returns, how a session's
 * exchange plays, and the record of every call. All functions are thread-safe.
 *
 * Without scripting (and after wpscli_test_reset) every call succeeds, except that:
 *   - a call missing a required argument returns BRCM_WPSCLI_INVALID_ARG: a NULL interface or
 *     bridge name (open), manufacturer (enable_wps), settings (set_wps_context, start_wps),
 *     peer-address buffer (start_wps, process_eapwps), a mode other than PBC or PIN, or PIN
 *     mode without a PIN (start_wps);
 *   - process_eapwps without a started session returns BRCM_WPSCLI_ERROR.
 * A session is started by a successful start_wps and ended by close_session or close.
 *
 * Exchange: every started session plays the exchange script from its first step. Each
 * process_eapwps call takes the next step, waits the step's pause, then returns its status;
 * once the steps are used up the last one repeats. The default script is one step
 * {BRCM_WPSCLI_SUCCESS, 0}.
 *
 * Abort: a successful brcm_wpscli_abort ends the exchange: a process_eapwps call that is
 * waiting returns BRCM_WPSCLI_ABORTED at once, and so does every later process_eapwps call of
 * the session. An abort that comes while no session runs applies to the next session. Both end
 * with close_session or close. An abort whose scripted status is not 0 has no effect.
 */

#include <limits.h>
#include <stddef.h>

#include "wpscli.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A pause that lasts until the exchange is aborted (or the stand-in is reset). */
#define WPSCLI_TEST_UNTIL_ABORT UINT_MAX

struct wpscli_test_step {
    brcm_wpscli_status status; /* what process_eapwps returns */
    unsigned pause_ms;         /* how long it waits first; WPSCLI_TEST_UNTIL_ABORT allowed */
};

#define WPSCLI_TEST_MAX_ARGS 8
#define WPSCLI_TEST_ARG_SIZE 80
#define WPSCLI_TEST_LINE_SIZE 640
/* At most this many calls are kept; later ones are still counted by wpscli_test_count. */
#define WPSCLI_TEST_MAX_CALLS 4096

/* One call as the stand-in received it. Arguments are recorded as text: numbers in decimal,
 * texts in double quotes (a '"' or '\' escaped with '\', other bytes outside printable ASCII as
 * \xNN; a text longer than 64 characters in that form is cut there and marked by "..." after the
 * closing quote), a null pointer as NULL, the settings record as &nw and the peer-address buffer
 * as &buf. */
struct wpscli_test_call {
    char name[48];
    int arg_count;
    char args[WPSCLI_TEST_MAX_ARGS][WPSCLI_TEST_ARG_SIZE];
    char line[WPSCLI_TEST_LINE_SIZE]; /* name(arg, arg, ...), e.g. brcm_wpscli_open("eth0", ...) */
    int has_settings;                 /* settings holds a copy of the record passed */
    brcm_wpscli_nw_settings settings;
    const void* settings_addr; /* address of the record passed, or NULL */
    const void* buffer_addr;   /* address of the peer-address buffer passed, or NULL */
    int returned;              /* 0 while the call has not returned yet */
    brcm_wpscli_status status; /* what it returned */
};

/* Forgets every call and every script; process_eapwps calls that are waiting return
 * BRCM_WPSCLI_ABORTED. Call it before each test. */
void wpscli_test_reset(void);

/* Makes every later call of the library function named `call` return `status` (and have no
 * effect when it is not 0). Returns 0, or -1 for an unknown name or
 * brcm_wpscli_softap_process_eapwps, which follows the exchange script. */
int wpscli_test_set_status(const char* call, brcm_wpscli_status status);

/* Like wpscli_test_set_status for the next call only; queued statuses are used in order and
 * before the one set by wpscli_test_set_status. */
int wpscli_test_queue_status(const char* call, brcm_wpscli_status status);

/* Replaces the exchange script with `count` steps (count > 0). Returns 0 or -1. */
int wpscli_test_set_exchange(const struct wpscli_test_step* steps, size_t count);

/* Number of calls made since the last reset: of all functions, or of the one named. */
size_t wpscli_test_call_count(void);
size_t wpscli_test_count(const char* call);

/* Copies the index-th recorded call (0 = first) into *out. Returns 0, or -1 when there is no
 * such record. */
int wpscli_test_get_call(size_t index, struct wpscli_test_call* out);

/* Waits until the function named has been entered at least `count` times since the last
 * reset, or until timeout_ms passed. Returns 1 when the count was reached, 0 otherwise. */
int wpscli_test_wait_calls(const char* call, size_t count, unsigned timeout_ms);

#ifdef __cplusplus
}
#endif

#endif
