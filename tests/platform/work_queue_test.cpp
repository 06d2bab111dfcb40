#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
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

// What jobs and release functions did, in order.
class Journal {
public:
    void Add(const std::string& entry) {
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back(entry);
    }
    std::vector<std::string> Entries() {
        std::lock_guard<std::mutex> lock(mutex_);
        return entries_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> entries_;
};

// Argument of a job or release function: writes `text` to the journal, then opens `then` and
// waits for `wait_for` when they are set.
struct Step {
    Journal* journal;
    std::string text;
    Gate* then = nullptr;
    Gate* wait_for = nullptr;
};

void RunStep(void* arg) {
    auto* step = static_cast<Step*>(arg);
    step->journal->Add(step->text);
    if (step->then != nullptr) step->then->Open();
    if (step->wait_for != nullptr) step->wait_for->Wait();
}

void OpenGate(void* arg) { static_cast<Gate*>(arg)->Open(); }

class WorkQueueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(queue_ = create_wq(), nullptr); }
    void TearDown() override { destroy_wq(queue_); }

    // Steps live as long as the test, at stable addresses.
    Step* NewStep(const std::string& text, Gate* then = nullptr, Gate* wait_for = nullptr) {
        steps_.push_back(Step{&journal_, text, then, wait_for});
        return &steps_.back();
    }
    void Put(Step* job, Step* release = nullptr) {
        ASSERT_EQ(put_work_to_wq(queue_, RunStep, job, release ? RunStep : nullptr, release), 0);
    }
    // Waits until every job put so far has run.
    void Drain() {
        Gate done;
        ASSERT_EQ(put_work_to_wq(queue_, OpenGate, &done, nullptr, nullptr), 0);
        ASSERT_TRUE(done.Wait());
    }

    wq_t* queue_ = nullptr;
    Journal journal_;
    std::deque<Step> steps_;
};

TEST_F(WorkQueueTest, RunsManyJobsInTheOrderTheyWerePut) {
    std::vector<std::string> expected;
    for (int i = 0; i < 1000; ++i) {
        expected.push_back("job " + std::to_string(i));
        Put(NewStep(expected.back()));
    }
    Drain();
    EXPECT_EQ(journal_.Entries(), expected);
}

TEST_F(WorkQueueTest, RunsEachReleaseRightAfterItsJobWithTheReleaseArgument) {
    Put(NewStep("job 1"), NewStep("release 1"));
    Put(NewStep("job 2"));
    Put(NewStep("job 3"), NewStep("release 3"));
    Drain();
    EXPECT_EQ(journal_.Entries(),
              (std::vector<std::string>{"job 1", "release 1", "job 2", "job 3", "release 3"}));
}

TEST_F(WorkQueueTest, JobsQueuedByAJobRunAfterTheJobsAlreadyWaiting) {
    Gate first_started, second_put, queued_ran;
    Step* queued_by_job = NewStep("queued by job", &queued_ran);
    struct Nested {
        wq_t* queue;
        Step* first;
        Step* queued;
    } nested{queue_, NewStep("first", &first_started, &second_put), queued_by_job};
    auto first = [](void* arg) {
        auto* n = static_cast<Nested*>(arg);
        RunStep(n->first);
        EXPECT_EQ(put_work_to_wq(n->queue, RunStep, n->queued, nullptr, nullptr), 0);
    };
    ASSERT_EQ(put_work_to_wq(queue_, first, &nested, nullptr, nullptr), 0);
    ASSERT_TRUE(first_started.Wait());
    Put(NewStep("second"));
    second_put.Open();
    ASSERT_TRUE(queued_ran.Wait());
    EXPECT_EQ(journal_.Entries(), (std::vector<std::string>{"first", "second", "queued by job"}));
}

TEST_F(WorkQueueTest, AChainOfJobsEachQueueingTheNextRunsToTheEnd) {
    struct Chain {
        wq_t* queue;
        int left;
        Gate done;
    } chain{queue_, 200, {}};
    static void (*link)(void*) = [](void* arg) {
        auto* c = static_cast<Chain*>(arg);
        if (--c->left == 0) {
            c->done.Open();
            return;
        }
        EXPECT_EQ(put_work_to_wq(c->queue, link, c, nullptr, nullptr), 0);
    };
    ASSERT_EQ(put_work_to_wq(queue_, link, &chain, nullptr, nullptr), 0);
    ASSERT_TRUE(chain.done.Wait());
    EXPECT_EQ(chain.left, 0);
}

TEST_F(WorkQueueTest, DestroyDropsWaitingJobsButStillRunsTheirReleases) {
    Gate running, all_dropped;
    Put(NewStep("job 0", &running, &all_dropped), NewStep("release 0"));
    ASSERT_TRUE(running.Wait());
    for (int i = 1; i <= 3; ++i) {
        std::string n = std::to_string(i);
        // The last dropped job's release lets the running job finish.
        Put(NewStep("job " + n), NewStep("release " + n, i == 3 ? &all_dropped : nullptr));
    }
    destroy_wq(queue_);
    queue_ = nullptr;
    EXPECT_EQ(journal_.Entries(), (std::vector<std::string>{"job 0", "release 1", "release 2",
                                                            "release 3", "release 0"}));
}

TEST_F(WorkQueueTest, NoJobRunsAfterDestroyReturnsAndEveryAcceptedJobIsReleased) {
    struct Counters {
        std::atomic<int> ran{0};
        std::atomic<int> released{0};
        Gate busy;
    } counters;
    auto job = [](void* arg) {
        auto* c = static_cast<Counters*>(arg);
        if (++c->ran == 100) c->busy.Open();
    };
    auto release = [](void* arg) { ++static_cast<Counters*>(arg)->released; };
    int accepted = 0;
    std::thread producer([&] {
        while (put_work_to_wq(queue_, job, &counters, release, &counters) == 0) ++accepted;
    });
    ASSERT_TRUE(counters.busy.Wait());
    destroy_wq(queue_);
    int ran_at_return = counters.ran;
    producer.join();
    queue_ = nullptr;
    EXPECT_EQ(counters.ran, ran_at_return);
    EXPECT_EQ(counters.released, accepted);
}

TEST_F(WorkQueueTest, AJobMayDestroyItsOwnQueue) {
    Gate finished;
    struct SelfDestroy {
        wq_t* queue;
        Journal* journal;
    } self{queue_, &journal_};
    auto destroy_own = [](void* arg) {
        auto* s = static_cast<SelfDestroy*>(arg);
        destroy_wq(s->queue);
        s->journal->Add("destroyed");
    };
    Gate hold;
    Put(NewStep("holding", nullptr, &hold));
    ASSERT_EQ(put_work_to_wq(queue_, destroy_own, &self, OpenGate, &finished), 0);
    Put(NewStep("never runs"), NewStep("dropped"));
    hold.Open();
    ASSERT_TRUE(finished.Wait());
    queue_ = nullptr;
    EXPECT_EQ(journal_.Entries(), (std::vector<std::string>{"holding", "dropped", "destroyed"}));
}

TEST_F(WorkQueueTest, ABlockedJobDoesNotHoldUpAnotherQueue) {
    wq_t* other = create_wq();
    ASSERT_NE(other, nullptr);
    Gate opened_by_other;
    Put(NewStep("waits for the other queue", nullptr, &opened_by_other));
    ASSERT_EQ(put_work_to_wq(other, OpenGate, &opened_by_other, nullptr, nullptr), 0);
    Drain();
    destroy_wq(other);
    EXPECT_EQ(journal_.Entries().size(), 1u);
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
