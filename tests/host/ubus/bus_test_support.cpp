#include "bus_test_support.h"

#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdlib>

namespace bus_test {

std::string Json(blob_attr* attr) {
    char* text = blobmsg_format_json(attr, true);
    std::string json = text != nullptr ? text : "";
    free(text);
    return json;
}

blob_attr* Find(blob_attr* container, const std::string& name) {
    blob_attr* cur;
    size_t rem;
    blobmsg_for_each_attr(cur, container, rem) {
        if (name == blobmsg_name(cur)) return cur;
    }
    return nullptr;
}

void Gate::Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    opened_.notify_all();
}

bool Gate::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    return opened_.wait_for(lock, kHangGuard, [this] { return open_; });
}

LoopThread::LoopThread(bool handle_sigchld) {
    uloop_handle_sigchld = handle_sigchld;
    uloop_init();
    waker_.owner = this;
    waker_.fd.fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    waker_.fd.cb = OnWake;
    uloop_fd_add(&waker_.fd, ULOOP_READ);
}

LoopThread::~LoopThread() {
    Stop();
    uloop_fd_delete(&waker_.fd);
    close(waker_.fd.fd);
    uloop_done();
    uloop_handle_sigchld = true;
}

void LoopThread::OnWake(uloop_fd* fd, unsigned int) {
    uint64_t count;
    while (read(fd->fd, &count, sizeof(count)) > 0) {
    }
    LoopThread* self = reinterpret_cast<Waker*>(fd)->owner;
    std::lock_guard<std::mutex> lock(self->mutex_);
    ++self->rounds_;
    self->round_done_.notify_all();
}

void LoopThread::Start() {
    thread_ = std::thread([this] {
        thread_id_ = pthread_self();
        uloop_run();
    });
    running_ = true;
    Ping();
}

void LoopThread::Ping() {
    std::unique_lock<std::mutex> lock(mutex_);
    unsigned before = rounds_;
    uint64_t one = 1;
    if (write(waker_.fd.fd, &one, sizeof(one)) != sizeof(one)) abort();
    if (!round_done_.wait_for(lock, kHangGuard, [&] { return rounds_ > before; })) abort();
}

void LoopThread::Stop() {
    if (!running_) return;
    running_ = false;
    uloop_end();
    uint64_t one = 1;
    if (write(waker_.fd.fd, &one, sizeof(one)) != sizeof(one)) abort();
    thread_.join();
}

std::unique_ptr<LoopThread> Serve(ubus_context* ctx) {
    auto loop = std::make_unique<LoopThread>();
    ubus_add_uloop(ctx);
    loop->Start();
    return loop;
}

namespace {

enum { kEchoText, kEchoMax };
const blobmsg_policy kEchoPolicy[kEchoMax] = {{"text", BLOBMSG_TYPE_STRING}};

EchoObject* Self(ubus_object* obj) { return reinterpret_cast<EchoObject*>(obj); }

void Enter(EchoObject* self) {
    std::lock_guard<std::mutex> lock(self->mutex);
    ++self->calls;
    self->handler_thread = pthread_self();
}

int Reply(ubus_context* ctx, ubus_request_data* req, const char* key, uint32_t value) {
    BlobBuf reply;
    blobmsg_add_u32(reply.get(), key, value);
    return ubus_send_reply(ctx, req, reply.head());
}

int Echo(ubus_context* ctx, ubus_object* obj, ubus_request_data* req, const char*, blob_attr* msg) {
    EchoObject* self = Self(obj);
    Enter(self);
    blob_attr* tb[kEchoMax];
    blobmsg_parse(kEchoPolicy, kEchoMax, tb, blob_data(msg), blob_len(msg));
    if (tb[kEchoText] == nullptr) return UBUS_STATUS_INVALID_ARGUMENT;
    if (self->hold) {
        self->entered.Open();
        self->release.Wait();
    }
    BlobBuf reply;
    blobmsg_add_string(reply.get(), "text", blobmsg_get_string(tb[kEchoText]));
    ubus_send_reply(ctx, req, reply.head());
    return 0;
}

int ReplyThenStatus(ubus_context* ctx, ubus_object* obj, ubus_request_data* req, const char*,
                    blob_attr*) {
    Enter(Self(obj));
    Reply(ctx, req, "n", 1);
    return UBUS_STATUS_NOT_SUPPORTED;
}

int TwoReplies(ubus_context* ctx, ubus_object* obj, ubus_request_data* req, const char*,
               blob_attr*) {
    Enter(Self(obj));
    Reply(ctx, req, "n", 1);
    Reply(ctx, req, "n", 2);
    return 0;
}

int Fail(ubus_context*, ubus_object* obj, ubus_request_data*, const char*, blob_attr*) {
    Enter(Self(obj));
    return -1;
}

ubus_method kEchoMethods[] = {
    UBUS_METHOD("echo", Echo, kEchoPolicy),
    UBUS_METHOD_NOARG("reply_then_status", ReplyThenStatus),
    UBUS_METHOD_NOARG("two_replies", TwoReplies),
    UBUS_METHOD_NOARG("fail", Fail),
};
ubus_object_type kEchoType = UBUS_OBJECT_TYPE("echo_object_type", kEchoMethods);

}  // namespace

EchoObject::EchoObject(const char* name) : object{} {
    object.name = name;
    object.type = &kEchoType;
    object.methods = kEchoMethods;
    object.n_methods = ARRAY_SIZE(kEchoMethods);
}

int EchoObject::Calls() {
    std::lock_guard<std::mutex> lock(mutex);
    return calls;
}

pthread_t EchoObject::HandlerThread() {
    std::lock_guard<std::mutex> lock(mutex);
    return handler_thread;
}

void Replies::Collect(ubus_request* req, int type, blob_attr* msg) {
    EXPECT_EQ(type, UBUS_MSG_DATA);
    static_cast<Replies*>(req->priv)->json.push_back(Json(msg));
}

}  // namespace bus_test
