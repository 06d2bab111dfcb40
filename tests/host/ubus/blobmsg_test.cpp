// A string reaches the library's handlers only with its terminating zero inside the field (the
// length counts it); a reader of one without it would run past the message.
extern "C" {
#include <libubox/blobmsg.h>
}
#include <gtest/gtest.h>

namespace {

TEST(BlobmsgParse, AStringReachesTheHandlerOnlyWithItsTerminatingZero) {
    const blobmsg_policy policy = {"text", BLOBMSG_TYPE_STRING};
    for (unsigned length : {3u, 4u}) {
        SCOPED_TRACE(length);
        blob_buf buf = {};
        blob_buf_init(&buf, 0);
        blobmsg_add_field(&buf, BLOBMSG_TYPE_STRING, "text", "xyz", length);
        blob_attr* tb[1] = {reinterpret_cast<blob_attr*>(&buf)};  // parse must clear it
        EXPECT_EQ(blobmsg_parse(&policy, 1, tb, blob_data(buf.head), blob_len(buf.head)),
                  length == 4 ? 0 : -1);
        ASSERT_EQ(tb[0] != nullptr, length == 4);
        EXPECT_EQ(tb[0] != nullptr ? blobmsg_data_len(tb[0]) : 4u, 4u);
        blob_buf_free(&buf);
    }
}

}  // namespace
