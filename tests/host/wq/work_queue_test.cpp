// The work queue's contract as the library's restart and band switch jobs rely on it (wq.h).
#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "wq.h"

namespace {

using Closure = std::function<void()>;
void RunClosure(void* arg) { (*static_cast<Closure*>(arg))(); }

// Jobs and releases are closures, each with an argument of its own, so a queue that mixes up a
// job's argument and its release's runs the wrong one.
class WorkQueue : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(queue_ = create_wq(), nullptr); }
    void TearDown() override { destroy_wq(queue_); }

    int Put(Closure job, Closure release = nullptr) {
        Closure* job_arg = &closures_.emplace_back(std::move(job));
        if (!release) return put_work_to_wq(queue_, RunClosure, job_arg, nullptr, nullptr);
        Closure* release_arg = &closures_.emplace_back(std::move(release));
        return put_work_to_wq(queue_, RunClosure, job_arg, RunClosure, release_arg);
    }
    Closure Log(const std::string& entry) {
        return [this, entry] {
            std::lock_guard<std::mutex> lock(mutex_);
            journal_.push_back(entry);
            threads_.push_back(pthread_self());
        };
    }
    // False only when a broken queue would hang the test.
    static bool Wait(const std::shared_future<void>& gate) {
        return gate.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    }

    wq_t* queue_ = nullptr;
    std::mutex mutex_;
    std::vector<std::string> journal_;
    std::vector<pthread_t> threads_;
    std::deque<Closure> closures_;  // stable addresses for the test's duration
};

TEST_F(WorkQueue, JobsRunInOrderOnOneThreadEachReleaseRightAfterItsJob) {
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        std::string n = std::to_string(i);
        expected.push_back("job " + n);
        if (i % 3 == 0) expected.push_back("release " + n);
        ASSERT_EQ(Put(Log("job " + n), i % 3 == 0 ? Log("release " + n) : nullptr), 0);
    }
    std::promise<void> done;
    ASSERT_EQ(Put([&done] { done.set_value(); }), 0);
    ASSERT_TRUE(Wait(done.get_future().share()));
    std::lock_guard<std::mutex> lock(mutex_);
    EXPECT_EQ(journal_, expected);
    for (pthread_t thread : threads_) {
        ASSERT_TRUE(pthread_equal(thread, threads_[0]));
        ASSERT_FALSE(pthread_equal(thread, pthread_self()));
    }
}

// The running job finishes, with its release, before destroy_wq returns; the waiting jobs are
// dropped but their releases run, so nothing they own leaks.
TEST_F(WorkQueue, DestroyFinishesTheRunningJobAndReleasesTheWaitingOnes) {
    std::promise<void> running, all_dropped;
    std::shared_future<void> dropped = all_dropped.get_future().share();
    Put(
        [&] {
            Log("job 0")();
            running.set_value();
            Wait(dropped);
        },
        Log("release 0"));
    ASSERT_TRUE(Wait(running.get_future().share()));
    Put(Log("job 1"), Log("release 1"));
    Put(Log("job 2"), [&] {
        Log("release 2")();
        all_dropped.set_value();  // lets the running job finish
    });
    destroy_wq(queue_);
    queue_ = nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    EXPECT_EQ(journal_, (std::vector<std::string>{"job 0", "release 1", "release 2", "release 0"}));
}

}  // namespace
