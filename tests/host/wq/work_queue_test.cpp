#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "wq.h"

namespace {

// Guard against a deadlocked queue turning into a hung test; never reached when all is well.
constexpr auto kHangGuard = std::chrono::seconds(60);

class Gate {
public:
    void Open() {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }
    bool Wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        return opened_.wait_for(lock, kHangGuard, [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

using Closure = std::function<void()>;

void RunClosure(void* arg) { (*static_cast<Closure*>(arg))(); }

// Jobs and releases are closures. Each gets an argument of its own, so a queue that hands a job's
// argument to its release (or the other way round) runs the wrong closure.
class WorkQueueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(queue_ = create_wq(), nullptr); }
    void TearDown() override { destroy_wq(queue_); }

    int Put(Closure job, Closure release = nullptr, wq_t* queue = nullptr) {
        wq_func_t release_fn = release ? RunClosure : nullptr;
        return put_work_to_wq(queue != nullptr ? queue : queue_, RunClosure, Keep(std::move(job)),
                              release_fn, release ? Keep(std::move(release)) : nullptr);
    }
    Closure Log(const std::string& entry) {
        return [this, entry] {
            std::lock_guard<std::mutex> lock(mutex_);
            journal_.push_back(entry);
        };
    }
    std::vector<std::string> Journal() {
        std::lock_guard<std::mutex> lock(mutex_);
        return journal_;
    }
    // Waits until every job put so far has run.
    void Drain() {
        Gate done;
        ASSERT_EQ(Put([&done] { done.Open(); }), 0);
        ASSERT_TRUE(done.Wait());
    }

    wq_t* queue_ = nullptr;

private:
    // Closures live as long as the test, at stable addresses; jobs put jobs too.
    Closure* Keep(Closure closure) {
        std::lock_guard<std::mutex> lock(mutex_);
        closures_.push_back(std::move(closure));
        return &closures_.back();
    }

    std::mutex mutex_;
    std::deque<Closure> closures_;
    std::vector<std::string> journal_;
};

TEST_F(WorkQueueTest, RunsJobsInTheOrderTheyWerePutEachReleaseRightAfterItsJob) {
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        std::string n = std::to_string(i);
        expected.push_back("job " + n);
        if (i % 3 == 0) expected.push_back("release " + n);
        ASSERT_EQ(Put(Log("job " + n), i % 3 == 0 ? Log("release " + n) : nullptr), 0);
    }
    Drain();
    EXPECT_EQ(Journal(), expected);
}

TEST_F(WorkQueueTest, JobsQueuedByAJobRunAfterTheJobsAlreadyWaiting) {
    Gate first_started, second_put, queued_ran;
    ASSERT_EQ(Put([&] {
                  Log("first")();
                  first_started.Open();
                  second_put.Wait();
                  EXPECT_EQ(Put(Log("queued by job"), [&] { queued_ran.Open(); }), 0);
              }),
              0);
    ASSERT_TRUE(first_started.Wait());
    Put(Log("second"));
    second_put.Open();
    ASSERT_TRUE(queued_ran.Wait());
    EXPECT_EQ(Journal(), (std::vector<std::string>{"first", "second", "queued by job"}));
}

TEST_F(WorkQueueTest, AChainOfJobsEachQueueingTheNextRunsToTheEnd) {
    int left = 200;
    Gate done;
    Closure link = [&] {
        if (--left == 0) return done.Open();
        EXPECT_EQ(Put(link), 0);
    };
    ASSERT_EQ(Put(link), 0);
    ASSERT_TRUE(done.Wait());
    EXPECT_EQ(left, 0);
}

TEST_F(WorkQueueTest, DestroyDropsWaitingJobsButStillRunsTheirReleases) {
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
    Put(Log("job 2"), Log("release 2"));
    // The last dropped job's release lets the running job finish.
    Put(Log("job 3"), [&] {
        Log("release 3")();
        all_dropped.Open();
    });
    destroy_wq(queue_);
    queue_ = nullptr;
    EXPECT_EQ(Journal(), (std::vector<std::string>{"job 0", "release 1", "release 2", "release 3",
                                                   "release 0"}));
}

TEST_F(WorkQueueTest, NoJobRunsAfterDestroyReturnsAndEveryAcceptedJobIsReleased) {
    std::atomic<int> ran{0}, released{0};
    Gate busy;
    int accepted = 0;
    std::thread producer([&] {
        while (Put(
                   [&] {
                       if (++ran == 100) busy.Open();
                   },
                   [&] { ++released; }) == 0)
            ++accepted;
    });
    ASSERT_TRUE(busy.Wait());
    destroy_wq(queue_);
    int ran_at_return = ran;
    producer.join();
    queue_ = nullptr;
    EXPECT_EQ(ran, ran_at_return);
    EXPECT_EQ(released, accepted);
}

TEST_F(WorkQueueTest, AJobMayDestroyItsOwnQueue) {
    Gate hold, finished;
    Put([&] {
        Log("holding")();
        hold.Wait();
    });
    Put(
        [&] {
            destroy_wq(queue_);
            Log("destroyed")();
        },
        [&] { finished.Open(); });
    Put(Log("never runs"), Log("dropped"));
    hold.Open();
    ASSERT_TRUE(finished.Wait());
    queue_ = nullptr;
    EXPECT_EQ(Journal(), (std::vector<std::string>{"holding", "dropped", "destroyed"}));
}

TEST_F(WorkQueueTest, ABlockedJobDoesNotHoldUpAnotherQueue) {
    wq_t* other = create_wq();
    ASSERT_NE(other, nullptr);
    Gate opened_by_other;
    Put([&] { EXPECT_TRUE(opened_by_other.Wait()); });
    ASSERT_EQ(Put([&] { opened_by_other.Open(); }, nullptr, other), 0);
    Drain();
    destroy_wq(other);
}

TEST(WorkQueuePut, FailsWithoutRunningAnythingOnNullOrDestroyedQueueOrNullJob) {
    std::atomic<int> calls{0};
    auto count = [](void* arg) { ++*static_cast<std::atomic<int>*>(arg); };

    EXPECT_EQ(put_work_to_wq(nullptr, count, &calls, count, &calls), -1);

    wq_t* old_queue = create_wq();
    ASSERT_NE(old_queue, nullptr);
    EXPECT_EQ(put_work_to_wq(old_queue, nullptr, &calls, count, &calls), -1);
    destroy_wq(old_queue);
    // A queue made afterwards must not be reachable through the dead handle.
    wq_t* new_queue = create_wq();
    ASSERT_NE(new_queue, nullptr);
    EXPECT_EQ(put_work_to_wq(old_queue, count, &calls, count, &calls), -1);
    destroy_wq(old_queue);
    destroy_wq(nullptr);
    destroy_wq(new_queue);

    EXPECT_EQ(calls, 0);
}

}  // namespace
