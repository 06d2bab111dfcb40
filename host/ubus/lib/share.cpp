// The process's side of the shared bus: serving local objects and events to other processes,
// and proxies for theirs.
extern "C" {
#include <libubox/blobmsg_json.h>
}

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "bus.h"
#include "dispatch.h"
#include "share.h"
#include "share_wire.h"
#include "ubus_test_hooks.h"

namespace ubus_standin {
namespace {

// An object of another process, registered here under its name.
struct Proxy {
    std::string name;
    std::string peer;  // the owner's socket
    std::vector<std::string> method_names;
    std::vector<ubus_method> methods;
    ubus_object_type type = {};
    ubus_object object = {};
    ubus_context ctx = {};
    ubus_test_server* server = nullptr;
};

struct Share {
    std::mutex mutex;
    std::set<ubus_context*> members;  // contexts on the shared bus
    std::string bus_path;
    std::string socket_path;  // this process's own socket
    int listen_fd = -1;
    int stop_fd = -1;
    std::thread server;
    std::map<const ubus_object*, std::unique_ptr<Proxy>> proxies;
    std::set<std::string> proxy_names;
};

Share& TheShare() {
    static Share* share = new Share;  // never destroyed: contexts may outlive static destructors
    return *share;
}

void CollectReply(ubus_request* req, int, blob_attr* msg) {
    char* json = blobmsg_format_json(msg, true);
    if (json == nullptr) return;
    static_cast<Texts*>(req->priv)->push_back(json);
    free(json);
}

bool FillMessage(blob_buf* buf, const std::string& json) {
    blob_buf_init(buf, 0);
    return json.empty() || blobmsg_add_json_from_string(buf, json.c_str());
}

// The id of a local object (not a proxy) named path, or 0.
uint32_t LocalId(const std::string& path) {
    {
        std::lock_guard<std::mutex> lock(TheShare().mutex);
        if (TheShare().proxy_names.count(path) != 0) return 0;
    }
    Bus& bus = Bus::Get();
    std::lock_guard<std::mutex> lock(bus.mutex());
    auto it = bus.names().find(path);
    return it == bus.names().end() ? 0 : it->second;
}

// A request from another process, carried out on a connection of this process's own.
Texts Answer(const Texts& request) {
    if (request.empty()) return {std::to_string(UBUS_STATUS_INVALID_COMMAND)};
    const std::string& kind = request[0];
    ubus_context ctx;
    if (ConnectContext(&ctx) != 0) return {std::to_string(UBUS_STATUS_CONNECTION_FAILED)};
    blob_buf buf = {};
    Texts answer;
    if (kind == "call" && request.size() == 4) {
        uint32_t id = LocalId(request[1]);
        Texts replies;
        int status = UBUS_STATUS_NOT_FOUND;
        if (!FillMessage(&buf, request[3]))
            status = UBUS_STATUS_PARSE_ERROR;
        else if (id != 0)
            status = ubus_invoke(&ctx, id, request[2].c_str(), buf.head, CollectReply, &replies, 0);
        answer.push_back(std::to_string(status));
        answer.insert(answer.end(), replies.begin(), replies.end());
    } else if (kind == "event" && request.size() == 3) {
        int status = FillMessage(&buf, request[2])
                         ? ubus_send_event(&ctx, request[1].c_str(), buf.head)
                         : UBUS_STATUS_PARSE_ERROR;
        answer.push_back(std::to_string(status));
    } else if (kind == "lookup" && request.size() == 2) {
        uint32_t id = LocalId(request[1]);
        answer.push_back(std::to_string(id != 0 ? 0 : UBUS_STATUS_NOT_FOUND));
        Bus& bus = Bus::Get();
        std::lock_guard<std::mutex> lock(bus.mutex());
        auto it = bus.objects().find(id);
        if (id != 0 && it != bus.objects().end())
            for (int i = 0; i < it->second.object->n_methods; ++i)
                answer.push_back(it->second.object->methods[i].name);
    } else if (kind == "list") {
        answer.push_back("0");
        std::vector<std::string> names;
        {
            Bus& bus = Bus::Get();
            std::lock_guard<std::mutex> lock(bus.mutex());
            for (const auto& entry : bus.names()) names.push_back(entry.first);
        }
        std::lock_guard<std::mutex> lock(TheShare().mutex);
        for (const std::string& name : names)
            if (TheShare().proxy_names.count(name) == 0) answer.push_back(name);
    } else {
        answer.push_back(std::to_string(UBUS_STATUS_INVALID_COMMAND));
    }
    blob_buf_free(&buf);
    ubus_shutdown(&ctx);
    return answer;
}

// Requests being answered; each has a thread of its own, so that a call waiting for its
// handler does not hold up the events and calls that handler waits for.
struct Answering {
    std::mutex mutex;
    std::condition_variable done;
    int count = 0;
};

Answering& TheAnswering() {
    static Answering* answering = new Answering;
    return *answering;
}

void AnswerConnection(int fd) {
    Texts request;
    if (ReadTexts(fd, &request)) WriteTexts(fd, Answer(request));
    close(fd);
    std::lock_guard<std::mutex> lock(TheAnswering().mutex);
    if (--TheAnswering().count == 0) TheAnswering().done.notify_all();
}

void Serve(int listen_fd, int stop_fd) {
    for (;;) {
        pollfd fds[2] = {{listen_fd, POLLIN, 0}, {stop_fd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) continue;  // EINTR
        if (fds[1].revents != 0) break;
        int fd = accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        {
            std::lock_guard<std::mutex> lock(TheAnswering().mutex);
            ++TheAnswering().count;
        }
        std::thread(AnswerConnection, fd).detach();
    }
    std::unique_lock<std::mutex> lock(TheAnswering().mutex);
    TheAnswering().done.wait(lock, [] { return TheAnswering().count == 0; });
}

bool StartServing(Share& share, const std::string& bus_path) {
    std::string path = PeerDir(bus_path) + "/" + std::to_string(getpid());
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) return false;
    path.copy(address.sun_path, path.size());
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    unlink(path.c_str());  // left by an earlier process with this id
    int stop_fd = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(fd, 16) != 0 || (stop_fd = eventfd(0, EFD_CLOEXEC)) < 0) {
        close(fd);
        unlink(path.c_str());
        return false;
    }
    share.bus_path = bus_path;
    share.socket_path = path;
    share.listen_fd = fd;
    share.stop_fd = stop_fd;
    share.server = std::thread(Serve, fd, stop_fd);
    return true;
}

int ProxyHandler(ubus_context* ctx, ubus_object* obj, ubus_request_data* req, const char* method,
                 blob_attr* msg) {
    std::string name, peer;
    {
        std::lock_guard<std::mutex> lock(TheShare().mutex);
        auto it = TheShare().proxies.find(obj);
        if (it == TheShare().proxies.end()) return UBUS_STATUS_NOT_FOUND;
        name = it->second->name;
        peer = it->second->peer;
    }
    char* json = blobmsg_format_json(msg, true);
    Texts answer;
    bool asked = Ask(peer, {"call", name, method, json != nullptr ? json : ""}, &answer);
    free(json);
    if (!asked || answer.empty()) return UBUS_STATUS_NOT_FOUND;  // the owner went away
    for (size_t i = 1; i < answer.size(); ++i) {
        blob_buf buf = {};
        if (FillMessage(&buf, answer[i])) ubus_send_reply(ctx, req, buf.head);
        blob_buf_free(&buf);
    }
    return atoi(answer[0].c_str());
}

std::unique_ptr<Proxy> MakeProxy(const std::string& name, const std::string& peer,
                                 const Texts& answer) {
    auto proxy = std::make_unique<Proxy>();
    proxy->name = name;
    proxy->peer = peer;
    proxy->method_names.assign(answer.begin() + 1, answer.end());
    for (const std::string& method : proxy->method_names) {
        ubus_method entry = {};
        entry.name = method.c_str();
        entry.handler = ProxyHandler;
        proxy->methods.push_back(entry);
    }
    proxy->type.name = proxy->name.c_str();
    proxy->type.methods = proxy->methods.data();
    proxy->type.n_methods = static_cast<int>(proxy->methods.size());
    proxy->object.name = proxy->name.c_str();
    proxy->object.type = &proxy->type;
    proxy->object.methods = proxy->methods.data();
    proxy->object.n_methods = static_cast<int>(proxy->methods.size());
    return proxy;
}

void DropProxy(std::unique_ptr<Proxy> proxy) {
    ubus_test_stop_serving(proxy->server);
    ubus_shutdown(&proxy->ctx);
}

}  // namespace

int JoinSharedBus(ubus_context* ctx, const char* path) {
    std::string bus_path = BusPath(path);
    struct stat info;
    if (lstat(bus_path.c_str(), &info) != 0) return 0;  // no bus daemon: this process alone
    int probe = ConnectTo(bus_path);
    if (probe < 0) return UBUS_STATUS_CONNECTION_FAILED;
    close(probe);
    if (stat(PeerDir(bus_path).c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return 0;
    Share& share = TheShare();
    std::lock_guard<std::mutex> lock(share.mutex);
    if (share.members.empty() && !StartServing(share, bus_path))
        return UBUS_STATUS_CONNECTION_FAILED;
    share.members.insert(ctx);
    return 0;
}

void LeaveSharedBus(ubus_context* ctx) {
    Share& share = TheShare();
    std::thread server;
    std::vector<std::unique_ptr<Proxy>> proxies;
    int listen_fd, stop_fd;
    {
        std::lock_guard<std::mutex> lock(share.mutex);
        if (share.members.erase(ctx) == 0 || !share.members.empty()) return;
        server = std::move(share.server);
        listen_fd = share.listen_fd;
        stop_fd = share.stop_fd;
        unlink(share.socket_path.c_str());
        share.listen_fd = share.stop_fd = -1;
        for (auto& entry : share.proxies) proxies.push_back(std::move(entry.second));
        share.proxies.clear();
        share.proxy_names.clear();
    }
    uint64_t one = 1;
    ssize_t written = write(stop_fd, &one, sizeof(one));
    (void)written;  // an eventfd counter far from its limit takes the write
    server.join();
    close(listen_fd);
    close(stop_fd);
    for (auto& proxy : proxies) DropProxy(std::move(proxy));
}

bool LookupShared(ubus_context* ctx, const char* path, uint32_t* id) {
    std::string bus_path;
    {
        std::lock_guard<std::mutex> lock(TheShare().mutex);
        if (TheShare().members.count(ctx) == 0) return false;
        bus_path = TheShare().bus_path;
    }
    for (const std::string& peer : Peers(bus_path)) {
        Texts answer;
        if (!Ask(peer, {"lookup", path}, &answer) || answer.empty() || answer[0] != "0") continue;
        std::unique_ptr<Proxy> proxy = MakeProxy(path, peer, answer);
        if (ConnectContext(&proxy->ctx) != 0) return false;
        if (ubus_add_object(&proxy->ctx, &proxy->object) != 0 ||
            (proxy->server = ubus_test_serve(&proxy->ctx)) == nullptr) {
            ubus_shutdown(&proxy->ctx);  // lost a race with another lookup, or no thread
            return false;
        }
        *id = proxy->object.id;
        std::lock_guard<std::mutex> lock(TheShare().mutex);
        TheShare().proxy_names.insert(proxy->name);
        TheShare().proxies[&proxy->object] = std::move(proxy);
        return true;
    }
    return false;
}

}  // namespace ubus_standin
