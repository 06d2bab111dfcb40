// The request of every bus method that takes arguments: the first byte picks the method, then
// per field of its policy one byte says whether the field is there and of which type (its own
// or another), followed by its value. The message goes straight to the handler, which parses
// it through the policy. Commands are not run (no_commands.cpp); files stay in the sandbox.
#include <libubus.h>
#include <string.h>

#include "hostapd_agent.h"
#include "tests/fuzz/support.h"
#include "ubus/service_object.h"
#include "ubus/shadow_agent.h"
#include "ubus_assistant.h"
#include "util/device_paths.h"

namespace {

const char kApConfig[] =
    "interface=wlan0\nssid=Hotspot\nwmode=6\nchannel=0\nauto_chan_select=1\nauth_algs=1\n"
    "wpa=2\nwpa_key_mgmt=WPA-PSK\nrsn_pairwise=CCMP\nwpa_passphrase=correct horse\n"
    "max_num_sta=10\ncountry_code=DE\n";

std::vector<const ubus_method*> g_methods;
ubus_context* g_ctx = nullptr;

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), end_(data + size) {}
    uint8_t Byte() { return data_ < end_ ? *data_++ : 0; }
    std::string Bytes(size_t n) {
        n = std::min<size_t>(n, end_ - data_);
        std::string bytes(reinterpret_cast<const char*>(data_), n);
        data_ += n;
        return bytes;
    }

private:
    const uint8_t* data_;
    const uint8_t* end_;
};

void AddField(blob_buf* b, int type, const char* name, Input& in) {
    switch (type) {
        case BLOBMSG_TYPE_STRING: {
            std::string text = in.Bytes(in.Byte());
            blobmsg_add_field(b, type, name, text.c_str(), text.size() + 1);
            break;
        }
        case BLOBMSG_TYPE_INT8:
        case BLOBMSG_TYPE_INT16:
        case BLOBMSG_TYPE_INT32:
        case BLOBMSG_TYPE_INT64:
        case BLOBMSG_TYPE_DOUBLE: {
            static const size_t kSizes[] = {0, 0, 0, 0, 8, 4, 2, 1, 8};
            std::string bytes = in.Bytes(kSizes[type]);
            bytes.resize(kSizes[type]);
            blobmsg_add_field(b, type, name, bytes.data(), bytes.size());
            break;
        }
        default:
            blobmsg_close_table(b, blobmsg_open_table(b, name));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::EnterSandbox(argc, argv);
    for (int i = 0; i < wlan_object_type.n_methods; ++i) {
        const ubus_method& m = wlan_object_type.methods[i];
        // Switching the radio on starts it and its threads and waits for them: left out (its one
        // argument is only compared with "on" and "off").
        if (m.n_policy > 0 && strcmp(m.name, "wlan_set_switch") != 0) g_methods.push_back(&m);
    }
    uloop_handle_sigchld = false;
    g_ctx = ubus_connect(nullptr);
    HostapdAgent* agent = new HostapdAgent();
    set_shadow_pointers(agent, new UbusAssistant(agent, g_ctx));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Put(kHostapdConfPath, kApConfig);
    Input in(data, size);
    const ubus_method& m = *g_methods[in.Byte() % g_methods.size()];
    static blob_buf b;
    blob_buf_init(&b, 0);
    for (int i = 0; i < m.n_policy; ++i) {
        uint8_t choice = in.Byte();
        if (choice % 4 == 0) continue;
        AddField(&b, choice % 4 == 1 ? m.policy[i].type : (choice >> 2) % 9, m.policy[i].name, in);
    }
    ubus_request_data req = {};
    m.handler(g_ctx, &wlan_object_test, &req, m.name, b.head);
    return 0;
}
