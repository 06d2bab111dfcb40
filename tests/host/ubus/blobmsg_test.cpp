// What the library's method and event handlers take from blobmsg_parse: a field reaches them only
// with the type of the policy and, for a string, with its terminating zero inside the field.
extern "C" {
#include <libubox/blobmsg.h>
}
#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(BlobmsgParse, OnlyWellFormedFieldsOfThePolicysTypeAreHandedOn) {
    const blobmsg_policy policy = {"text", BLOBMSG_TYPE_STRING};
    const struct {
        const char* about;
        std::function<void(blob_buf*)> build;
        int result;
        bool found;
    } kCases[] = {
        {"string", [](blob_buf* b) { blobmsg_add_string(b, "text", "xyz"); }, 0, true},
        {"missing", [](blob_buf* b) { blobmsg_add_string(b, "other", "xyz"); }, 0, false},
        {"another type", [](blob_buf* b) { blobmsg_add_u32(b, "text", 7); }, 0, false},
        // A reader of this string would run past the message.
        {"string without its zero",
         [](blob_buf* b) { blobmsg_add_field(b, BLOBMSG_TYPE_STRING, "text", "abc", 3); }, -1,
         false},
    };
    for (const auto& c : kCases) {
        blob_buf buf = {};
        blob_buf_init(&buf, 0);
        c.build(&buf);
        blob_attr* tb[1] = {reinterpret_cast<blob_attr*>(&buf)};  // parse must clear it
        EXPECT_EQ(blobmsg_parse(&policy, 1, tb, blob_data(buf.head), blob_len(buf.head)), c.result)
            << c.about;
        EXPECT_EQ(tb[0] != nullptr, c.found) << c.about;
        if (c.found) {
            EXPECT_STREQ(blobmsg_get_string(tb[0]), "xyz");
            EXPECT_EQ(blobmsg_data_len(tb[0]), 4u) << "the length counts the terminating zero";
        }
        blob_buf_free(&buf);
    }
}

}  // namespace
