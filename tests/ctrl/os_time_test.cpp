// Time helpers: UTC conversions in both directions and sleeps that signals do not cut short.
#include <gtest/gtest.h>
#include <limits.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "wlan_os.h"

namespace {

time_t Mktime(int year, int month, int day, int hour, int min, int sec, int* rc) {
    time_t t = 12345;
    *rc = os_mktime(year, month, day, hour, min, sec, &t);
    return t;
}

TEST(OsMktime, RefusesFieldsOutOfRange) {
    time_t t = 0;
    EXPECT_EQ(os_mktime(1969, 12, 31, 23, 59, 59, &t), -1);
    EXPECT_EQ(os_mktime(2020, 0, 1, 0, 0, 0, &t), -1);
    EXPECT_EQ(os_mktime(2020, 13, 1, 0, 0, 0, &t), -1);
    EXPECT_EQ(os_mktime(2020, 1, 0, 0, 0, 0, &t), -1);
    EXPECT_EQ(os_mktime(2020, 1, 32, 0, 0, 0, &t), -1);
    EXPECT_EQ(os_mktime(2020, 1, 1, 24, 0, 0, &t), -1);
    EXPECT_EQ(os_mktime(2020, 1, 1, -1, 0, 0, &t), -1);
    EXPECT_EQ(os_mktime(2020, 1, 1, 0, 60, 0, &t), -1);
    EXPECT_EQ(os_mktime(2020, 1, 1, 0, 0, 61, &t), -1);
    EXPECT_EQ(os_mktime(2020, 1, 1, 0, 0, -1, &t), -1);
}

TEST(OsMktime, ConvertsUtcFieldsToEpochSeconds) {
    int rc;
    EXPECT_EQ(Mktime(1970, 1, 1, 0, 0, 0, &rc), 0);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Mktime(2000, 2, 29, 12, 34, 56, &rc), 951827696);
    // A leap second counts as the first second of the next minute.
    EXPECT_EQ(Mktime(1998, 12, 31, 23, 59, 60, &rc), 915148800);
    EXPECT_EQ(rc, 0);
}

class LocalZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = getenv("TZ");
        had_tz_ = tz != nullptr;
        if (had_tz_) saved_tz_ = tz;
        // Central European time with its daylight-saving rule, no zone files needed.
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        if (had_tz_)
            setenv("TZ", saved_tz_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    bool had_tz_ = false;
    std::string saved_tz_;
};

TEST_F(LocalZone, MktimeIgnoresTheLocalZoneAndDaylightSaving) {
    int rc;
    EXPECT_EQ(Mktime(2021, 7, 1, 12, 0, 0, &rc), 1625140800);  // summer time locally
    EXPECT_EQ(Mktime(2020, 1, 1, 0, 0, 0, &rc), 1577836800);   // winter time locally
    // Local clocks skip 02:00-03:00 on 28 March 2021 and repeat 02:00-03:00 on 31 October; in
    // UTC both are ordinary hours.
    EXPECT_EQ(Mktime(2021, 3, 28, 2, 30, 0, &rc), 1616898600);
    EXPECT_EQ(Mktime(2021, 10, 31, 2, 30, 0, &rc), 1635647400);
}

TEST_F(LocalZone, GmtimeGivesUtcFieldsWithMonthFromOneAndFullYear) {
    os_tm tm = {};
    ASSERT_EQ(os_gmtime(0, &tm), 0);
    EXPECT_EQ(tm.year, 1970);
    EXPECT_EQ(tm.month, 1);
    EXPECT_EQ(tm.day, 1);
    EXPECT_EQ(tm.hour, 0);
    ASSERT_EQ(os_gmtime(1625140800 + 59, &tm), 0);
    EXPECT_EQ(tm.year, 2021);
    EXPECT_EQ(tm.month, 7);
    EXPECT_EQ(tm.day, 1);
    EXPECT_EQ(tm.hour, 12);
    EXPECT_EQ(tm.min, 0);
    EXPECT_EQ(tm.sec, 59);
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
}

TEST(OsGmtime, FailsWhenTheYearCannotBeRepresented) {
    os_tm tm;
    EXPECT_EQ(os_gmtime(LONG_MAX, &tm), -1);
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
