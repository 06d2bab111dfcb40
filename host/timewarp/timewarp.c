/* Time compression for soak runs on the development machine (never shipped).
 *
 * Loaded with LD_PRELOAD and WLAN_TIMEWARP=<factor>, it makes time pass <factor> times faster
 * for the process and every process it starts: the durations of sleep, usleep, nanosleep,
 * clock_nanosleep, the timed condition waits and POSIX timers are divided by the factor, and
 * clock_gettime, gettimeofday and time run that much faster. Clocks and waits stay consistent:
 * an absolute deadline read from a compressed clock is converted back before the real wait.
 *
 * Compressed time of a clock: base + (real - base) * factor. The bases are taken when the first
 * process loads the library and handed to its children in WLAN_TIMEWARP_BASE, so that all of
 * them read the same compressed clocks. CPU-time clocks are left alone. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

static int64_t g_factor = 1;
static int64_t g_base_real_ns;
static int64_t g_base_mono_ns;

static int (*real_clock_gettime)(clockid_t, struct timespec*);
static int (*real_nanosleep)(const struct timespec*, struct timespec*);
static int (*real_clock_nanosleep)(clockid_t, int, const struct timespec*, struct timespec*);
static int (*real_cond_timedwait)(pthread_cond_t*, pthread_mutex_t*, const struct timespec*);
static int (*real_cond_clockwait)(pthread_cond_t*, pthread_mutex_t*, clockid_t,
                                  const struct timespec*);
static int (*real_timer_settime)(timer_t, int, const struct itimerspec*, struct itimerspec*);
static int (*real_timer_gettime)(timer_t, struct itimerspec*);

static int64_t to_ns(const struct timespec* t) {
    return (int64_t)t->tv_sec * 1000000000 + t->tv_nsec;
}

static struct timespec from_ns(int64_t ns) {
    struct timespec t;
    t.tv_sec = (time_t)(ns / 1000000000);
    t.tv_nsec = (long)(ns % 1000000000);
    if (t.tv_nsec < 0) {
        t.tv_nsec += 1000000000;
        t.tv_sec -= 1;
    }
    return t;
}

/* The base of a warped clock, or -1 for a clock that keeps real time. */
static int64_t clock_base(clockid_t clock) {
    switch (clock) {
        case CLOCK_REALTIME:
        case CLOCK_REALTIME_COARSE:
            return g_base_real_ns;
        case CLOCK_MONOTONIC:
        case CLOCK_MONOTONIC_COARSE:
        case CLOCK_MONOTONIC_RAW:
        case CLOCK_BOOTTIME:
            return g_base_mono_ns;
        default:
            return -1;
    }
}

static int64_t real_now_ns(clockid_t clock) {
    struct timespec t;
    real_clock_gettime(clock, &t);
    return to_ns(&t);
}

/* A compressed absolute time of the clock back to the real one. */
static struct timespec unwarp_deadline(clockid_t clock, const struct timespec* warped) {
    int64_t base = clock_base(clock);
    if (base < 0 || g_factor == 1) return *warped;
    return from_ns(base + (to_ns(warped) - base) / g_factor);
}

static struct timespec shrink(const struct timespec* d) { return from_ns(to_ns(d) / g_factor); }

__attribute__((constructor)) static void timewarp_init(void) {
    real_clock_gettime = dlsym(RTLD_NEXT, "clock_gettime");
    real_nanosleep = dlsym(RTLD_NEXT, "nanosleep");
    real_clock_nanosleep = dlsym(RTLD_NEXT, "clock_nanosleep");
    real_cond_timedwait = dlvsym(RTLD_NEXT, "pthread_cond_timedwait", "GLIBC_2.3.2");
    if (real_cond_timedwait == NULL)
        real_cond_timedwait = dlsym(RTLD_NEXT, "pthread_cond_timedwait");
    real_cond_clockwait = dlsym(RTLD_NEXT, "pthread_cond_clockwait");
    real_timer_settime = dlsym(RTLD_NEXT, "timer_settime");
    real_timer_gettime = dlsym(RTLD_NEXT, "timer_gettime");

    const char* factor = getenv("WLAN_TIMEWARP");
    if (factor != NULL && atoll(factor) > 1) g_factor = atoll(factor);
    long long real_ns = 0, mono_ns = 0;
    const char* base = getenv("WLAN_TIMEWARP_BASE");
    if (base != NULL && sscanf(base, "%lld %lld", &real_ns, &mono_ns) == 2) {
        g_base_real_ns = real_ns;
        g_base_mono_ns = mono_ns;
    } else {
        g_base_real_ns = real_now_ns(CLOCK_REALTIME);
        g_base_mono_ns = real_now_ns(CLOCK_MONOTONIC);
        char text[64];
        snprintf(text, sizeof(text), "%lld %lld", (long long)g_base_real_ns,
                 (long long)g_base_mono_ns);
        setenv("WLAN_TIMEWARP_BASE", text, 1);
    }
}

int clock_gettime(clockid_t clock, struct timespec* t) {
    int result = real_clock_gettime(clock, t);
    int64_t base = clock_base(clock);
    if (result == 0 && base >= 0 && g_factor > 1) *t = from_ns(base + (to_ns(t) - base) * g_factor);
    return result;
}

int gettimeofday(struct timeval* restrict tv, void* restrict tz) {
    (void)tz;
    struct timespec now;
    int result = clock_gettime(CLOCK_REALTIME, &now);
    if (result == 0) {
        tv->tv_sec = now.tv_sec;
        tv->tv_usec = now.tv_nsec / 1000;
    }
    return result;
}

time_t time(time_t* out) {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    if (out != NULL) *out = now.tv_sec;
    return now.tv_sec;
}

int timespec_get(struct timespec* t, int base) {
    if (base != TIME_UTC) return 0;
    return clock_gettime(CLOCK_REALTIME, t) == 0 ? base : 0;
}

int nanosleep(const struct timespec* d, struct timespec* rem) {
    struct timespec real = shrink(d);
    int result = real_nanosleep(&real, rem);
    if (result != 0 && rem != NULL) *rem = from_ns(to_ns(rem) * g_factor);
    return result;
}

int clock_nanosleep(clockid_t clock, int flags, const struct timespec* t, struct timespec* rem) {
    if (flags & TIMER_ABSTIME) {
        struct timespec real = unwarp_deadline(clock, t);
        return real_clock_nanosleep(clock, flags, &real, rem);
    }
    struct timespec real = clock_base(clock) >= 0 ? shrink(t) : *t;
    int result = real_clock_nanosleep(clock, flags, &real, rem);
    if (result == EINTR && rem != NULL && clock_base(clock) >= 0)
        *rem = from_ns(to_ns(rem) * g_factor);
    return result;
}

unsigned int sleep(unsigned int seconds) {
    struct timespec d = {(time_t)seconds, 0}, rem = {0, 0};
    if (nanosleep(&d, &rem) != 0) return (unsigned)rem.tv_sec + (rem.tv_nsec > 0);
    return 0;
}

int usleep(useconds_t us) {
    struct timespec d = from_ns((int64_t)us * 1000);
    return nanosleep(&d, NULL);
}

/* glibc keeps the clock of a condition variable in bit 1 of __wrefs (pthread_condattr_setclock:
 * set for CLOCK_MONOTONIC). */
int pthread_cond_timedwait(pthread_cond_t* restrict cond, pthread_mutex_t* restrict mutex,
                           const struct timespec* restrict deadline) {
    clockid_t clock = (cond->__data.__wrefs & 2) ? CLOCK_MONOTONIC : CLOCK_REALTIME;
    struct timespec real = unwarp_deadline(clock, deadline);
    return real_cond_timedwait(cond, mutex, &real);
}

int pthread_cond_clockwait(pthread_cond_t* restrict cond, pthread_mutex_t* restrict mutex,
                           clockid_t clock, const struct timespec* restrict deadline) {
    struct timespec real = unwarp_deadline(clock, deadline);
    return real_cond_clockwait(cond, mutex, clock, &real);
}

static struct itimerspec shrink_timer(const struct itimerspec* t) {
    struct itimerspec real = *t;
    real.it_interval = shrink(&t->it_interval);
    real.it_value = shrink(&t->it_value);
    /* A value that shrinks to zero would disarm the timer. */
    if (to_ns(&t->it_value) > 0 && to_ns(&real.it_value) == 0) real.it_value.tv_nsec = 1;
    if (to_ns(&t->it_interval) > 0 && to_ns(&real.it_interval) == 0) real.it_interval.tv_nsec = 1;
    return real;
}

static void stretch_timer(struct itimerspec* t) {
    t->it_interval = from_ns(to_ns(&t->it_interval) * g_factor);
    t->it_value = from_ns(to_ns(&t->it_value) * g_factor);
}

int timer_settime(timer_t timer, int flags, const struct itimerspec* restrict t,
                  struct itimerspec* restrict old) {
    /* Absolute timers are not used by the library; they keep real time. */
    int result;
    if (flags & TIMER_ABSTIME || g_factor == 1) {
        result = real_timer_settime(timer, flags, t, old);
    } else {
        struct itimerspec real = shrink_timer(t);
        result = real_timer_settime(timer, flags, &real, old);
    }
    if (result == 0 && old != NULL) stretch_timer(old);
    return result;
}

int timer_gettime(timer_t timer, struct itimerspec* t) {
    int result = real_timer_gettime(timer, t);
    if (result == 0) stretch_timer(t);
    return result;
}
