#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "bus_test_support.h"

namespace {

using bus_test::BlobBuf;
using bus_test::Json;

blob_attr* Find(blob_attr* container, const std::string& name) {
    blob_attr* cur;
    size_t rem;
    blobmsg_for_each_attr(cur, container, rem) {
        if (name == blobmsg_name(cur)) return cur;
    }
    return nullptr;
}

TEST(BlobmsgJson, IntegersBecomeInt32WhereTheyFitAndInt64Otherwise) {
    BlobBuf buf;
    ASSERT_TRUE(blobmsg_add_json_from_string(
        buf.get(),
        R"({"max":2147483647,"min":-2147483648,"above":2147483648,"below":-2147483649})"));
    blob_attr* attr;
    ASSERT_NE(attr = Find(buf.head(), "max"), nullptr);
    EXPECT_EQ(blobmsg_type(attr), BLOBMSG_TYPE_INT32);
    EXPECT_EQ(static_cast<int32_t>(blobmsg_get_u32(attr)), INT32_MAX);
    ASSERT_NE(attr = Find(buf.head(), "min"), nullptr);
    EXPECT_EQ(blobmsg_type(attr), BLOBMSG_TYPE_INT32);
    EXPECT_EQ(static_cast<int32_t>(blobmsg_get_u32(attr)), INT32_MIN);
    ASSERT_NE(attr = Find(buf.head(), "above"), nullptr);
    EXPECT_EQ(blobmsg_type(attr), BLOBMSG_TYPE_INT64);
    EXPECT_EQ(static_cast<int64_t>(blobmsg_get_u64(attr)), 2147483648LL);
    ASSERT_NE(attr = Find(buf.head(), "below"), nullptr);
    EXPECT_EQ(blobmsg_type(attr), BLOBMSG_TYPE_INT64);
    EXPECT_EQ(static_cast<int64_t>(blobmsg_get_u64(attr)), -2147483649LL);
    EXPECT_EQ(Json(buf.head()),
              R"({"max":2147483647,"min":-2147483648,"above":2147483648,"below":-2147483649})");
}

TEST(BlobmsgJson, NestedArraysAndTablesRoundTrip) {
    const char* text =
        R"({"list":[1,"two",[true,false],{"k":null}],"table":{"inner":{"s":"v"},"empty":{}},)"
        R"("none":[]})";
    BlobBuf buf;
    ASSERT_TRUE(blobmsg_add_json_from_string(buf.get(), text));
    EXPECT_EQ(Json(buf.head()), text);
    blob_attr* list = Find(buf.head(), "list");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(blobmsg_type(list), BLOBMSG_TYPE_ARRAY);
    EXPECT_EQ(blobmsg_check_array(list, BLOBMSG_TYPE_UNSPEC), 4);
    EXPECT_EQ(blobmsg_type(Find(buf.head(), "table")), BLOBMSG_TYPE_TABLE);
}

TEST(BlobmsgJson, BooleansAreInt8AndRealsAreDoubles) {
    BlobBuf buf;
    ASSERT_TRUE(blobmsg_add_json_from_string(buf.get(), R"({"on":true,"ratio":0.5})"));
    blob_attr* on = Find(buf.head(), "on");
    ASSERT_NE(on, nullptr);
    EXPECT_EQ(blobmsg_type(on), BLOBMSG_TYPE_INT8);
    EXPECT_TRUE(blobmsg_get_bool(on));
    blob_attr* ratio = Find(buf.head(), "ratio");
    ASSERT_NE(ratio, nullptr);
    EXPECT_EQ(blobmsg_type(ratio), BLOBMSG_TYPE_DOUBLE);
    EXPECT_EQ(blobmsg_get_double(ratio), 0.5);
}

TEST(BlobmsgJson, StringsAreEscaped) {
    BlobBuf buf;
    blobmsg_add_string(buf.get(), "s", "q\"b\\n\nt\tc\x01/");
    EXPECT_EQ(Json(buf.head()), R"({"s":"q\"b\\n\nt\tc\u0001\/"})");
}

TEST(BlobmsgJson, FormatsOneAttributeWithItsNameOrItsValueAlone) {
    BlobBuf buf;
    blobmsg_add_u32(buf.get(), "n", 3);
    blob_attr* n = Find(buf.head(), "n");
    char* named = blobmsg_format_json(n, false);
    char* value = blobmsg_format_json_value(n);
    EXPECT_STREQ(named, "\"n\":3");
    EXPECT_STREQ(value, "3");
    free(named);
    free(value);
}

TEST(BlobmsgJson, ArrayFormatsAsJsonArray) {
    BlobBuf buf;
    void* list = blobmsg_open_array(buf.get(), "list");
    blobmsg_add_string(buf.get(), nullptr, "a");
    blobmsg_add_u32(buf.get(), nullptr, 2);
    blobmsg_close_array(buf.get(), list);
    char* text = blobmsg_format_json(Find(buf.head(), "list"), true);
    EXPECT_STREQ(text, R"(["a",2])");
    free(text);
}

TEST(BlobmsgJson, InvalidJsonOrANonObjectIsRefused) {
    for (const char* text :
         {"", "{", R"({"a":)", "not json", R"({"a" 1})", "[1,2]", "\"s\"", "7"}) {
        BlobBuf buf;
        EXPECT_FALSE(blobmsg_add_json_from_string(buf.get(), text)) << text;
    }
}

}  // namespace
