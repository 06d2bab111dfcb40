// The work queue's contract as the library's restart and band switch jobs rely on it (wq.h).
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "wq.h"

namespace {

class Gate {
public:
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }
    bool Wait() {  // false only when a broken queue would hang the test
        std::unique_lock<std::mutex> lock(mutex_);
        return opened_.wait_for(lock, std::chrono::seconds(60), [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

using Closure = std::function<void()>;
void RunClosure(void* arg) { (*static_cast<Closure*>(arg))(); }

// Jobs and releases are closures, each with an argument of its own, so a queue that mixes up a
// job's argument and its release's runs the wrong one.
class WorkQueue : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(queue_ = create_wq(), nullptr); }
    void TearDown() override { destroy_wq(queue_); }

    int Put(Closure job, Closure release = nullptr) {
        closures_.push_back(std::move(job));
        Closure* job_arg = &closures_.back();
        if (!release) return put_work_to_wq(queue_, RunClosure, job_arg, nullptr, nullptr);
        closures_.push_back(std::move(release));
        return put_work_to_wq(queue_, RunClosure, job_arg, RunClosure, &closures_.back());
    }
    Closure Log(const std::string& entry) {
        return [this, entry] {
            std::lock_guard<std::mutex> lock(mutex_);
            journal_.push_back(entry);
            threads_.push_back(pthread_self());
        };
    }
    std::vector<std::string> Journal() {
        std::lock_guard<std::mutex> lock(mutex_);
        return journal_;
    }

    wq_t* queue_ = nullptr;
    std::mutex mutex_;
    std::vector<pthread_t> threads_;

private:
    std::deque<Closure> closures_;  // stable addresses for the test's duration
    std::vector<std::string> journal_;
};

TEST_F(WorkQueue, JobsRunInOrderOnOneThreadEachReleaseRightAfterItsJob) {
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        std::string n = std::to_string(i);
        expected.push_back("job " + n);
        if (i % 3 == 0) expected.push_back("release " + n);
        ASSERT_EQ(Put(Log("job " + n), i % 3 == 0 ? Log("release " + n) : nullptr), 0);
    }
    Gate done;
    ASSERT_EQ(Put([&done] { done.Open(); }), 0);
    ASSERT_TRUE(done.Wait());
    EXPECT_EQ(Journal(), expected);
    std::lock_guard<std::mutex> lock(mutex_);
    for (pthread_t thread : threads_) {
        ASSERT_TRUE(pthread_equal(thread, threads_[0]));
        ASSERT_FALSE(pthread_equal(thread, pthread_self()));
    }
}

// The running job finishes, with its release, before destroy_wq returns; the waiting jobs are
// dropped but their releases run, so nothing they own leaks.
TEST_F(WorkQueue, DestroyFinishesTheRunningJobAndReleasesTheWaitingOnes) {
    Gate running, all_dropped;
    Put(
        [&] {
            Log("job 0")();
            running.Open();
            all_dropped.Wait();
        },
        Log("release 0"));
    ASSERT_TRUE(running.Wait());
    Put(Log("job 1"), Log("release 1"));
    Put(Log("job 2"), [&] {
        Log("release 2")();
        all_dropped.Open();  // lets the running job finish
    });
    destroy_wq(queue_);
    queue_ = nullptr;
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{"job 0", "release 1", "release 2", "release 0"}));
}

// A failed put runs nothing, not even the release: the caller still owns what it meant to hand
// over. A handle made afterwards is not reached through the dead one.
TEST(WorkQueuePut, FailsWithoutRunningAnythingOnANullOrDestroyedQueueOrWithoutAJob) {
    std::atomic<int> calls{0};
    auto count = [](void* arg) { ++*static_cast<std::atomic<int>*>(arg); };
    EXPECT_EQ(put_work_to_wq(nullptr, count, &calls, count, &calls), -1);
    wq_t* old_queue = create_wq();
    ASSERT_NE(old_queue, nullptr);
    EXPECT_EQ(put_work_to_wq(old_queue, nullptr, &calls, count, &calls), -1);
    destroy_wq(old_queue);
    wq_t* new_queue = create_wq();
    ASSERT_NE(new_queue, nullptr);
    EXPECT_EQ(put_work_to_wq(old_queue, count, &calls, count, &calls), -1);
    destroy_wq(old_queue);
    destroy_wq(new_queue);
    EXPECT_EQ(calls, 0);
}

}  // namespace
