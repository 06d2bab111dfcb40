#ifndef WLAN_TESTS_HOST_UBUS_BUS_TEST_SUPPORT_H
#define WLAN_TESTS_HOST_UBUS_BUS_TEST_SUPPORT_H

// libubox's headers have no extern "C" of their own.
extern "C" {
#include <libubox/blobmsg.h>
#include <libubox/blobmsg_json.h>
#include <libubox/uloop.h>
}
#include <libubus.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bus_test {

// Guard against a hung test; never reached when all is well.
constexpr auto kHangGuard = std::chrono::seconds(30);

// A blob buffer that frees itself.
class BlobBuf {
public:
    BlobBuf() { blob_buf_init(&buf_, 0); }
    ~BlobBuf() { blob_buf_free(&buf_); }
    BlobBuf(const BlobBuf&) = delete;
    BlobBuf& operator=(const BlobBuf&) = delete;
    blob_buf* get() { return &buf_; }
    blob_attr* head() { return buf_.head; }

private:
    blob_buf buf_ = {};
};

// Compact JSON of the attributes inside `attr`.
std::string Json(blob_attr* attr);
// The member of a table named `name`, or null.
blob_attr* Find(blob_attr* container, const std::string& name);

// Opens once; waiting returns false only when the hang guard ran out.
class Gate {
public:
    void Open();
    bool Wait();

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

// Runs uloop on a thread of its own. uloop_handle_sigchld is set as given before uloop_init
// (the library clears it). The loop also watches a descriptor of its own, so that the test
// can wait for a whole round of the loop and wake it for uloop_end.
class LoopThread {
public:
    explicit LoopThread(bool handle_sigchld = false);
    ~LoopThread();
    LoopThread(const LoopThread&) = delete;
    LoopThread& operator=(const LoopThread&) = delete;

    // Returns once the loop runs.
    void Start();
    // Returns once the loop has handled one more round, so everything queued before is done.
    void Ping();
    // uloop_end, wake the loop, wait for the thread.
    void Stop();
    pthread_t thread_id() const { return thread_id_; }

private:
    struct Waker {
        uloop_fd fd;  // first: the callback's argument leads back to the waker
        LoopThread* owner;
    };
    static void OnWake(uloop_fd* fd, unsigned int events);

    Waker waker_{};
    std::thread thread_;
    pthread_t thread_id_{};
    std::mutex mutex_;
    std::condition_variable round_done_;
    unsigned rounds_ = 0;
    bool running_ = false;
};

// Attaches the connection to a new loop and runs it; the loop must end before the connection
// is freed.
std::unique_ptr<LoopThread> Serve(ubus_context* ctx);

// An object with the methods tests call:
//   "echo" {"text": string}: replies {"text": text}, status 0; without "text" no reply and
//       UBUS_STATUS_INVALID_ARGUMENT. When `hold` is set it opens `entered` and waits for
//       `release` before replying.
//   "reply_then_status": replies {"n": 1}, returns UBUS_STATUS_NOT_SUPPORTED.
//   "two_replies": replies {"n": 1} and {"n": 2}, status 0.
//   "fail": no reply, status -1.
struct EchoObject {
    explicit EchoObject(const char* name);

    ubus_object object;  // first: handlers find their EchoObject through it
    std::mutex mutex;
    int calls = 0;
    pthread_t handler_thread{};
    bool hold = false;
    Gate entered;
    Gate release;

    int Calls();
    pthread_t HandlerThread();
};

// Replies collected by a data callback (`priv` of ubus_invoke), as compact JSON.
struct Replies {
    std::vector<std::string> json;
    static void Collect(ubus_request* req, int type, blob_attr* msg);
};

}  // namespace bus_test

#endif
