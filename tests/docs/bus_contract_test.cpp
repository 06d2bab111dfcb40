// The web interface's contract against the service object: the method reference
// (docs/methods.md) and the rpcd ACL (daemon/acl.d/wlanmgr.json) must describe exactly the
// methods and request fields that the object's method table declares.
#include <gtest/gtest.h>
extern "C" {
#include <libubox/blobmsg_json.h>
}
#include <libubus.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/sandbox.h"
#include "ubus/service_object.h"

namespace {

using Names = std::vector<std::string>;

const char* TypeName(int type) {
    return type == BLOBMSG_TYPE_STRING  ? "string"
           : type == BLOBMSG_TYPE_INT32 ? "int32"
           : type == BLOBMSG_TYPE_ARRAY ? "array"
                                        : "?";
}

// One "### <method>" section of the reference.
struct DocMethod {
    std::string name;
    std::string access;  // the "Access:" line
    Names request;       // "field:type", from the request table
    Names reply;         // the numbered reply fields
    std::vector<bool> may_be_left_out;
    Names example_keys;  // the top-level fields of the example's output
    std::string example_method;
    bool has_status_table = false;
};

bool StartsWith(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

// The text between the first two occurrences of quote, or "".
std::string Quoted(const std::string& line, char quote) {
    const size_t open = line.find(quote);
    const size_t close = open == std::string::npos ? open : line.find(quote, open + 1);
    return close == std::string::npos ? "" : line.substr(open + 1, close - open - 1);
}

std::vector<DocMethod> ParseReference(const std::string& text) {
    std::vector<DocMethod> methods;
    std::istringstream in(text);
    std::string line;
    bool in_methods = false, in_request = false, in_example = false;
    while (std::getline(in, line)) {
        if (StartsWith(line, "## ")) in_methods = line == "## Methods";
        if (!in_methods) continue;
        if (StartsWith(line, "### ")) {
            methods.emplace_back();
            methods.back().name = line.substr(4);
        }
        if (methods.empty()) continue;
        DocMethod& m = methods.back();
        const size_t digits = line.find_first_not_of("0123456789");
        if (StartsWith(line, "```")) {
            in_example = !in_example;
        } else if (in_example) {
            // "$ ubus call <object> <method> ['<json>']", then the output as `ubus call` prints
            // it, the top-level fields indented by one tab.
            std::istringstream words(line);
            std::string dollar, ubus, call, object, method;
            if (words >> dollar >> ubus >> call >> object >> method && dollar == "$")
                m.example_method = method;
            if (StartsWith(line, "\t\"") && line.find("\":") != std::string::npos)
                m.example_keys.push_back(Quoted(line, '"'));
        } else if (StartsWith(line, "| request field | type |")) {
            in_request = true;
        } else if (in_request && StartsWith(line, "| `")) {
            const size_t type = line.find("` | ") + 4;
            m.request.push_back(Quoted(line, '`') + ":" +
                                line.substr(type, line.find(" |", type) - type));
        } else if (StartsWith(line, "| status | meaning |")) {
            m.has_status_table = true;
        } else if (!StartsWith(line, "|")) {
            in_request = false;
            if (StartsWith(line, "Access: ")) m.access = line.substr(8, line.find('.', 8) - 8);
            if (digits > 0 && digits != std::string::npos && line.compare(digits, 3, ". `") == 0) {
                m.reply.push_back(Quoted(line, '`'));
                m.may_be_left_out.push_back(line.find("left out when") != std::string::npos);
            }
        }
    }
    return methods;
}

// Whether the example's fields are the documented reply fields in order, less those that the
// reply leaves out in some states.
bool ExampleShowsReply(const DocMethod& m) {
    size_t next = 0;
    for (size_t i = 0; i < m.reply.size(); ++i) {
        if (next < m.example_keys.size() && m.example_keys[next] == m.reply[i])
            ++next;
        else if (!m.may_be_left_out[i])
            return false;
    }
    return next == m.example_keys.size();
}

std::string Join(const Names& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : " ") + name;
    return text;
}

// The ACL's method lists by path, "role/section/ubus/object".
void CollectLists(void* fields, size_t len, const std::string& path,
                  std::map<std::string, Names>* lists) {
    blob_attr* entry = nullptr;
    size_t left = len;
    __blob_for_each_attr(entry, fields, left) {
        const std::string name = path + (path.empty() ? "" : "/") + blobmsg_name(entry);
        if (blobmsg_type(entry) == BLOBMSG_TYPE_TABLE) {
            CollectLists(blobmsg_data(entry), blobmsg_data_len(entry), name, lists);
            continue;
        }
        if (blobmsg_type(entry) != BLOBMSG_TYPE_ARRAY) continue;
        Names& methods = (*lists)[name];
        blob_attr* item = nullptr;
        size_t rem = 0;
        blobmsg_for_each_attr(item, entry, rem) {
            methods.push_back(blobmsg_type(item) == BLOBMSG_TYPE_STRING ? blobmsg_get_string(item)
                                                                        : "?");
        }
    }
}

class BusContract : public SandboxTest {
protected:
    void SetUp() override {
        SandboxTest::SetUp();
        for (int m = 0; m < wlan_object.n_methods; ++m) {
            const ubus_method& method = wlan_object.methods[m];
            table_.push_back(method.name);
            std::string line = method.name;
            for (int i = 0; i < method.n_policy; ++i)
                line += std::string(" ") + method.policy[i].name + ":" +
                        TypeName(method.policy[i].type);
            interface_ += line + "\n";
        }
        reference_ = ParseReference(sandbox::ReadFile(sandbox::SourceDir() + "/docs/methods.md"));
    }

    Names table_;            // the method names, in table order
    std::string interface_;  // per method a line: its name and its "field:type" entries
    std::vector<DocMethod> reference_;
};

}  // namespace

TEST_F(BusContract, ReferenceDocumentsEveryMethodAndRequestField) {
    std::string documented;
    for (const DocMethod& m : reference_)
        documented += m.name + (m.request.empty() ? "" : " ") + Join(m.request) + "\n";
    EXPECT_EQ(documented, interface_);

    for (const DocMethod& m : reference_) {
        EXPECT_TRUE(m.has_status_table) << m.name;
        EXPECT_EQ(m.example_method, m.name) << "the example calls another method";
        EXPECT_TRUE(ExampleShowsReply(m)) << m.name << ": example [" << Join(m.example_keys)
                                          << "], documented [" << Join(m.reply) << "]";
    }
}

// Every method is either read-only (the read list of wlanmgr-read) or changing (the write list
// of wlanmgr-admin), for both object names; the administrator may also read the read-only ones.
TEST_F(BusContract, AclClassifiesEveryMethodOnceAsTheReferenceDoes) {
    blob_buf buf = {};
    blob_buf_init(&buf, 0);
    const std::string acl = sandbox::ReadFile(sandbox::SourceDir() + "/daemon/acl.d/wlanmgr.json");
    ASSERT_TRUE(blobmsg_add_json_from_string(&buf, acl.c_str())) << "not JSON";
    std::map<std::string, Names> lists;
    CollectLists(blob_data(buf.head), blob_len(buf.head), "", &lists);
    blob_buf_free(&buf);

    Names paths;
    for (const auto& [path, methods] : lists) paths.push_back(path);
    EXPECT_EQ(Join(paths),
              "wlanmgr-admin/read/ubus/wlan_object wlanmgr-admin/read/ubus/wlan_object_test "
              "wlanmgr-admin/write/ubus/wlan_object wlanmgr-admin/write/ubus/wlan_object_test "
              "wlanmgr-read/read/ubus/wlan_object wlanmgr-read/read/ubus/wlan_object_test");
    for (const char* object : {"wlan_object", "wlan_object_test"}) {
        const Names& read_only = lists[std::string("wlanmgr-read/read/ubus/") + object];
        const Names& changing = lists[std::string("wlanmgr-admin/write/ubus/") + object];
        std::multiset<std::string> both(read_only.begin(), read_only.end());
        both.insert(changing.begin(), changing.end());
        EXPECT_EQ(both, std::multiset<std::string>(table_.begin(), table_.end())) << object;
        EXPECT_EQ(Join(lists[std::string("wlanmgr-admin/read/ubus/") + object]), Join(read_only))
            << object;
    }

    const Names& read_only = lists["wlanmgr-read/read/ubus/wlan_object"];
    for (const DocMethod& m : reference_) {
        const bool is_read_only =
            std::find(read_only.begin(), read_only.end(), m.name) != read_only.end();
        EXPECT_EQ(m.access, is_read_only ? "read-only" : "administrator") << m.name;
    }
}
