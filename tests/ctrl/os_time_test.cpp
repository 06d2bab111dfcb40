// Time helpers: UTC conversions in both directions and sleeps that signals do not cut short.
#include <gtest/gtest.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <thread>

#include "wlan_os.h"

namespace {

struct UtcFields {
    int year, month, day, hour, min, sec;
};

bool operator==(const UtcFields& a, const UtcFields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.min == b.min && a.sec == b.sec;
}

TEST(OsMktime, RefusesFieldsOutOfRange) {
    const UtcFields refused[] = {{1969, 12, 31, 23, 59, 59}, {2020, 0, 1, 0, 0, 0},
                                 {2020, 13, 1, 0, 0, 0},     {2020, 1, 0, 0, 0, 0},
                                 {2020, 1, 32, 0, 0, 0},     {2020, 1, 1, 24, 0, 0},
                                 {2020, 1, 1, -1, 0, 0},     {2020, 1, 1, 0, 60, 0},
                                 {2020, 1, 1, 0, 0, 61},     {2020, 1, 1, 0, 0, -1}};
    for (const UtcFields& f : refused) {
        time_t t = 0;
        EXPECT_EQ(os_mktime(f.year, f.month, f.day, f.hour, f.min, f.sec, &t), -1)
            << f.year << "-" << f.month << "-" << f.day << " " << f.hour << ":" << f.min << ":"
            << f.sec;
    }
}

// Central European time with its daylight-saving rule (no zone files needed) must not shift
// the results: local clocks skip 02:00-03:00 on 28 March 2021 and repeat it on 31 October,
// in UTC both are ordinary hours. A leap second counts as the first second of the next minute.
TEST(OsMktime, ConvertsUtcFieldsToEpochSecondsWhateverTheLocalZone) {
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    const struct {
        UtcFields f;
        time_t epoch;
    } cases[] = {{{1970, 1, 1, 0, 0, 0}, 0},
                 {{2000, 2, 29, 12, 34, 56}, 951827696},
                 {{1998, 12, 31, 23, 59, 60}, 915148800},
                 {{2021, 7, 1, 12, 0, 0}, 1625140800},
                 {{2020, 1, 1, 0, 0, 0}, 1577836800},
                 {{2021, 3, 28, 2, 30, 0}, 1616898600},
                 {{2021, 10, 31, 2, 30, 0}, 1635647400}};
    for (const auto& c : cases) {
        time_t t = 12345;
        EXPECT_EQ(os_mktime(c.f.year, c.f.month, c.f.day, c.f.hour, c.f.min, c.f.sec, &t), 0);
        EXPECT_EQ(t, c.epoch) << c.epoch;
    }

    os_tm tm = {};
    ASSERT_EQ(os_gmtime(1625140800 + 59, &tm), 0);
    EXPECT_EQ((UtcFields{tm.year, tm.month, tm.day, tm.hour, tm.min, tm.sec}),
              (UtcFields{2021, 7, 1, 12, 0, 59}));
    unsetenv("TZ");
    tzset();
}

TEST(OsGmtime, RoundTripsThroughMktimeAcrossCenturies) {
    // Steps of 37 days and a bit land on every month, leap days and odd hours.
    for (os_time_t t = 0; t < 4102444800L; t += 37L * 86400 + 3671) {
        os_tm tm;
        ASSERT_EQ(os_gmtime(t, &tm), 0) << t;
        time_t back = 0;
        ASSERT_EQ(os_mktime(tm.year, tm.month, tm.day, tm.hour, tm.min, tm.sec, &back), 0) << t;
        ASSERT_EQ(back, t);
    }
    os_tm tm;
    EXPECT_EQ(os_gmtime(LONG_MAX, &tm), -1);  // the year cannot be represented
}

void OnSignal(int) {}

TEST(OsSleep, SignalDoesNotCutTheSleepShort) {
    struct sigaction action = {}, previous;
    action.sa_handler = OnSignal;  // no SA_RESTART: the sleep is interrupted
    sigaction(SIGUSR1, &action, &previous);
    const pthread_t sleeper = pthread_self();
    std::thread interrupter([sleeper] {
        usleep(50 * 1000);
        pthread_kill(sleeper, SIGUSR1);
    });
    timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    os_sleep(0, 300000);
    clock_gettime(CLOCK_MONOTONIC, &end);
    interrupter.join();
    sigaction(SIGUSR1, &previous, nullptr);
    // A lower bound only: the sleep lasted at least what was asked for.
    const long long slept_us =
        (end.tv_sec - start.tv_sec) * 1000000LL + (end.tv_nsec - start.tv_nsec) / 1000;
    EXPECT_GE(slept_us, 300000);
}

}  // namespace
