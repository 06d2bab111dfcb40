#ifndef WLAN_TESTS_E2E_BUS_PEERS_H
#define WLAN_TESTS_E2E_BUS_PEERS_H

#include <libubus.h>
extern "C" {
#include <libubox/blobmsg_json.h>
}

#include <string>
#include <utility>

#include "host/sandbox/bus_connect.h"
#include "tests/e2e/e2e_env.h"
#include "util/json_string.h"

namespace e2e {

// The string field of a JSON object text; "!" when it is not valid JSON or has no such field.
inline std::string Field(const std::string& reply, const char* name) {
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    const blobmsg_policy policy = {name, BLOBMSG_TYPE_STRING};
    blob_attr* field = nullptr;
    if (blobmsg_add_json_from_string(&buf, reply.c_str()))
        blobmsg_parse(&policy, 1, &field, blob_data(buf.head), blob_len(buf.head));
    std::string value = field == nullptr ? "!" : blobmsg_get_string(field);
    blob_buf_free(&buf);
    return value;
}

// The text as a JSON string, quotes included.
inline std::string JsonQuoted(const std::string& text) {
    std::string out(text.size() * kJsonEscapedMax + 1, '\0');
    out.resize(json_escape(&out[0], out.size(), text.c_str(), text.size()));
    return '"' + out + '"';
}

// The web interface: a bus client on a connection of its own, used from the test's thread.
class WebUi {
public:
    WebUi() : ctx_(test_bus::Connect()) {}
    ~WebUi() {
        if (ctx_ != nullptr) ubus_free(ctx_);
        blob_buf_free(&buf_);
    }
    WebUi(const WebUi&) = delete;
    WebUi& operator=(const WebUi&) = delete;

    bool Connected() const { return ctx_ != nullptr; }
    // The next Call or SendEvent also carries this string field, whatever bytes it holds (JSON
    // cannot carry invalid UTF-8 or a NUL).
    void AddRawField(const std::string& name, const std::string& text) { raw_ = {name, text}; }
    // Calls a method with a JSON object of arguments; returns the call's status. Replies, as
    // compact JSON, go to reply (one line each) when it is given.
    int Call(const std::string& method, const std::string& json_args, std::string* reply = nullptr,
             const char* object = "wlan_object_test") {
        blob_buf_init(&buf_, 0);
        if (!json_args.empty() && !blobmsg_add_json_from_string(&buf_, json_args.c_str())) {
            ADD_FAILURE() << "not a JSON object: " << json_args;  // a slip in the test itself
            return UBUS_STATUS_INVALID_ARGUMENT;
        }
        AddRaw();
        uint32_t id = 0;
        int status =
            ctx_ == nullptr ? UBUS_STATUS_CONNECTION_FAILED : ubus_lookup_id(ctx_, object, &id);
        std::string replies;
        if (status == 0)
            status = ubus_invoke(ctx_, id, method.c_str(), buf_.head, Collect, &replies, 20000);
        if (reply != nullptr) *reply = replies;
        return status;
    }

    // Broadcasts an event with a JSON object, as the device's other daemons do.
    int SendEvent(const std::string& type, const std::string& json) {
        blob_buf_init(&buf_, 0);
        if (!blobmsg_add_json_from_string(&buf_, json.c_str())) {
            ADD_FAILURE() << "not a JSON object: " << json;
            return UBUS_STATUS_INVALID_ARGUMENT;
        }
        AddRaw();
        return ctx_ == nullptr ? UBUS_STATUS_CONNECTION_FAILED
                               : ubus_send_event(ctx_, type.c_str(), buf_.head);
    }

private:
    void AddRaw() {
        if (!raw_.first.empty())
            blobmsg_add_field(&buf_, BLOBMSG_TYPE_STRING, raw_.first.c_str(), raw_.second.c_str(),
                              static_cast<unsigned>(raw_.second.size() + 1));
        raw_ = {};
    }
    // Compact JSON, with "\/" written "/" as the requests write it.
    static void Collect(ubus_request* req, int, blob_attr* msg) {
        char* json = blobmsg_format_json(msg, true);
        if (json == nullptr) return;
        auto* replies = static_cast<std::string*>(req->priv);
        if (!replies->empty()) *replies += "\n";
        for (const char* c = json; *c != '\0'; ++c) {
            if (*c == '\\' && c[1] != '/')
                *replies += *c++;  // any other escape stays whole
            else if (*c == '\\')
                ++c;
            *replies += *c;
        }
        free(json);
    }

    ubus_context* ctx_ = nullptr;
    blob_buf buf_ = {};
    std::pair<std::string, std::string> raw_;
};

}  // namespace e2e

// End-to-end tests of the bus methods: Expect calls one as the web interface and checks the
// status and the replies.
class BusMethodTest : public E2eTest {
protected:
    void Expect(const char* method, const std::string& args, int status, const std::string& reply) {
        std::string got;
        EXPECT_EQ(ui_.Call(method, args, &got), status) << method << " " << args;
        EXPECT_EQ(got, reply) << method << " " << args;
    }
    e2e::WebUi ui_;
};

#endif
