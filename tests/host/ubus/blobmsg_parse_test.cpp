#include <gtest/gtest.h>

#include "bus_test_support.h"

namespace {

using bus_test::BlobBuf;

enum { kText, kNumber, kFlag, kCount };

const blobmsg_policy kPolicy[kCount] = {
    {"text", BLOBMSG_TYPE_STRING},
    {"number", BLOBMSG_TYPE_INT32},
    {"flag", BLOBMSG_TYPE_BOOL},
};

int Parse(BlobBuf& buf, blob_attr** tb) {
    return blobmsg_parse(kPolicy, kCount, tb, blob_data(buf.head()), blob_len(buf.head()));
}

TEST(BlobmsgParse, MissingFieldsAndFieldsOfAnotherTypeStayNull) {
    BlobBuf only_number;
    blobmsg_add_u32(only_number.get(), "number", 5);
    blob_attr* tb[kCount];
    ASSERT_EQ(Parse(only_number, tb), 0);
    EXPECT_EQ(tb[kText], nullptr);
    ASSERT_NE(tb[kNumber], nullptr);
    EXPECT_EQ(blobmsg_get_u32(tb[kNumber]), 5u);
    EXPECT_EQ(tb[kFlag], nullptr);

    BlobBuf mistyped;
    blobmsg_add_u32(mistyped.get(), "text", 7);
    blobmsg_add_string(mistyped.get(), "number", "5");
    blobmsg_add_u32(mistyped.get(), "flag", 1);
    ASSERT_EQ(Parse(mistyped, tb), 0);
    EXPECT_EQ(tb[kText], nullptr);
    EXPECT_EQ(tb[kNumber], nullptr);
    EXPECT_EQ(tb[kFlag], nullptr);
}

TEST(BlobmsgParse, FirstOfTwoFieldsWithTheSameNameWins) {
    BlobBuf buf;
    blobmsg_add_string(buf.get(), "text", "first");
    blobmsg_add_string(buf.get(), "text", "second");
    blob_attr* tb[kCount];
    ASSERT_EQ(Parse(buf, tb), 0);
    EXPECT_STREQ(blobmsg_get_string(tb[kText]), "first");
}

TEST(BlobmsgParse, UnspecifiedTypeAcceptsAnyType) {
    BlobBuf buf;
    blobmsg_add_u64(buf.get(), "any", 1);
    const blobmsg_policy any = {"any", BLOBMSG_TYPE_UNSPEC};
    blob_attr* tb[1];
    ASSERT_EQ(blobmsg_parse(&any, 1, tb, blob_data(buf.head()), blob_len(buf.head())), 0);
    EXPECT_NE(tb[0], nullptr);
}

// A string without its terminating zero would make readers run past the message.
TEST(BlobmsgParse, StringWithoutTerminatingZeroIsRejected) {
    BlobBuf buf;
    blobmsg_add_field(buf.get(), BLOBMSG_TYPE_STRING, "text", "abc", 3);
    blob_attr* tb[kCount];
    EXPECT_EQ(Parse(buf, tb), -1);
    EXPECT_EQ(tb[kText], nullptr);
}

TEST(BlobmsgParse, NoDataClearsEveryEntry) {
    blob_attr* tb[kCount] = {reinterpret_cast<blob_attr*>(1), nullptr, nullptr};
    EXPECT_EQ(blobmsg_parse(kPolicy, kCount, tb, nullptr, 0), -EINVAL);
    EXPECT_EQ(tb[kText], nullptr);
}

TEST(BlobmsgParse, ArrayElementsMatchThePolicyByPosition) {
    BlobBuf buf;
    void* list = blobmsg_open_array(buf.get(), "list");
    blobmsg_add_string(buf.get(), nullptr, "a");
    blobmsg_add_string(buf.get(), nullptr, "b");
    blobmsg_close_array(buf.get(), list);
    blob_attr* array = static_cast<blob_attr*>(blob_data(buf.head()));
    const blobmsg_policy positions[2] = {{nullptr, BLOBMSG_TYPE_STRING},
                                         {nullptr, BLOBMSG_TYPE_INT32}};
    blob_attr* tb[2];
    ASSERT_EQ(blobmsg_parse_array(positions, 2, tb, blobmsg_data(array), blobmsg_data_len(array)),
              0);
    ASSERT_NE(tb[0], nullptr);
    EXPECT_STREQ(blobmsg_get_string(tb[0]), "a");
    EXPECT_EQ(tb[1], nullptr);
}

}  // namespace
