#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bus_test_support.h"

namespace {

using bus_test::BlobBuf;
using bus_test::Find;

std::vector<uint8_t> Bytes(const blob_attr* attr) {
    const auto* p = reinterpret_cast<const uint8_t*>(attr);
    return std::vector<uint8_t>(p, p + blob_raw_len(attr));
}

TEST(BlobmsgLayout, StringFieldHasBigEndianHeaderPaddedNameAndCountsItsZero) {
    BlobBuf buf;
    ASSERT_EQ(blobmsg_add_string(buf.get(), "ab", "xyz"), 0);
    const std::vector<uint8_t> expected = {0x00, 0x00, 0x00, 0x14,  // head: id 0, 20 bytes
                                           0x83, 0x00, 0x00, 0x10,  // extended, string, 16 bytes
                                           0x00, 0x02, 'a',  'b',
                                           0x00, 0x00, 0x00, 0x00,  // name length 2, "ab", padding
                                           'x',  'y',  'z',  0x00};
    EXPECT_EQ(Bytes(buf.head()), expected);
    blob_attr* field = static_cast<blob_attr*>(blob_data(buf.head()));
    EXPECT_EQ(blobmsg_data_len(field), 4u);
    EXPECT_EQ(blob_len(buf.head()), 16u);
}

TEST(BlobmsgLayout, IntegersAreBigEndianAndEveryAttributeStartsAligned) {
    BlobBuf buf;
    blobmsg_add_u8(buf.get(), "a", 1);
    blobmsg_add_u32(buf.get(), "b", 0x01020304);
    blob_attr* first = static_cast<blob_attr*>(blob_data(buf.head()));
    EXPECT_EQ(blob_raw_len(first), 4u + 4u + 1u);
    blob_attr* second = blob_next(first);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(second) % 4, 0u);
    const auto* value = static_cast<const uint8_t*>(blobmsg_data(second));
    EXPECT_EQ(std::vector<uint8_t>(value, value + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(blob_len(buf.head()), blob_pad_len(first) + blob_pad_len(second));
}

TEST(BlobmsgRoundTrip, EveryTypeReadsBackWithItsNameTypeAndValue) {
    BlobBuf buf;
    blobmsg_add_u8(buf.get(), "flag", 1);
    blobmsg_add_u16(buf.get(), "short", 0xfffe);
    blobmsg_add_u32(buf.get(), "int", 0xfffffff9u);
    blobmsg_add_u64(buf.get(), "long", 0x123456789abcdef0ull);
    blobmsg_add_double(buf.get(), "real", 2.5);
    blobmsg_add_string(buf.get(), "text", "hello");
    blobmsg_add_field(buf.get(), BLOBMSG_TYPE_UNSPEC, "none", nullptr, 0);
    ASSERT_TRUE(blobmsg_check_attr_len(buf.head(), false, blob_raw_len(buf.head())));

    const struct {
        const char* name;
        int type;
    } kFields[] = {{"flag", BLOBMSG_TYPE_BOOL},   {"short", BLOBMSG_TYPE_INT16},
                   {"int", BLOBMSG_TYPE_INT32},   {"long", BLOBMSG_TYPE_INT64},
                   {"real", BLOBMSG_TYPE_DOUBLE}, {"text", BLOBMSG_TYPE_STRING},
                   {"none", BLOBMSG_TYPE_UNSPEC}};
    for (const auto& field : kFields) {
        blob_attr* attr = Find(buf.head(), field.name);
        ASSERT_NE(attr, nullptr) << field.name;
        EXPECT_EQ(blobmsg_type(attr), field.type) << field.name;
    }
    EXPECT_TRUE(blobmsg_get_bool(Find(buf.head(), "flag")));
    EXPECT_EQ(blobmsg_get_u16(Find(buf.head(), "short")), 0xfffe);
    EXPECT_EQ(static_cast<int32_t>(blobmsg_get_u32(Find(buf.head(), "int"))), -7);
    EXPECT_EQ(blobmsg_get_u64(Find(buf.head(), "long")), 0x123456789abcdef0ull);
    EXPECT_EQ(blobmsg_get_double(Find(buf.head(), "real")), 2.5);
    EXPECT_STREQ(blobmsg_get_string(Find(buf.head(), "text")), "hello");
    EXPECT_EQ(blobmsg_data_len(Find(buf.head(), "none")), 0u);
}

TEST(BlobmsgRoundTrip, NestedTablesAndArraysKeepTheirMembers) {
    BlobBuf buf;
    void* list = blobmsg_open_array(buf.get(), "list");
    for (uint32_t n = 1; n <= 3; ++n) {
        void* row = blobmsg_open_table(buf.get(), nullptr);
        blobmsg_add_u32(buf.get(), "n", n);
        void* empty = blobmsg_open_array(buf.get(), "empty");
        blobmsg_close_array(buf.get(), empty);
        blobmsg_close_table(buf.get(), row);
    }
    blobmsg_close_array(buf.get(), list);
    void* nested = blobmsg_open_nested(buf.get(), "nested", false);
    blobmsg_add_string(buf.get(), "k", "v");
    blob_nest_end(buf.get(), nested);
    blobmsg_add_string(buf.get(), "after", "x");

    EXPECT_EQ(bus_test::Json(buf.head()),
              "{\"list\":[{\"n\":1,\"empty\":[]},{\"n\":2,\"empty\":[]},{\"n\":3,\"empty\":[]}],"
              "\"nested\":{\"k\":\"v\"},\"after\":\"x\"}");
    blob_attr* array = Find(buf.head(), "list");
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(blobmsg_check_array(array, BLOBMSG_TYPE_TABLE), 3);
}

// The buffer moves while it grows; tables opened before must still close correctly. A buffer
// used again (as the one reply buffer is) starts empty.
TEST(BlobmsgRoundTrip, OpenTableSurvivesTheBufferGrowingAndInitAgainEmptiesIt) {
    BlobBuf buf;
    void* table = blobmsg_open_table(buf.get(), "big");
    for (int i = 0; i < 2000; ++i)
        blobmsg_add_string(buf.get(), ("key" + std::to_string(i)).c_str(), "some value text");
    blobmsg_close_table(buf.get(), table);
    blobmsg_add_u32(buf.get(), "tail", 7);

    blob_attr* big = Find(buf.head(), "big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(blobmsg_check_array(big, BLOBMSG_TYPE_STRING), 2000);
    blob_attr* tail = Find(buf.head(), "tail");
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(blobmsg_get_u32(tail), 7u);

    blob_buf_init(buf.get(), 0);
    EXPECT_EQ(blob_len(buf.head()), 0u);
    blobmsg_add_u8(buf.get(), "new", 1);
    EXPECT_EQ(bus_test::Json(buf.head()), "{\"new\":true}");
}

}  // namespace
