#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "bus_test_support.h"

namespace {

using bus_test::BlobBuf;
using bus_test::Find;
using bus_test::Json;

// Integers become int32 where they fit and int64 otherwise; booleans are int8, reals doubles.
TEST(BlobmsgJson, ScalarsGetTheTypesOfUpstream) {
    const char* text =
        R"({"max":2147483647,"min":-2147483648,"above":2147483648,"below":-2147483649,)"
        R"("on":true,"ratio":0.5})";
    BlobBuf buf;
    ASSERT_TRUE(blobmsg_add_json_from_string(buf.get(), text));
    const struct {
        const char* name;
        int type;
        int64_t value;
    } kIntegers[] = {{"max", BLOBMSG_TYPE_INT32, INT32_MAX},
                     {"min", BLOBMSG_TYPE_INT32, INT32_MIN},
                     {"above", BLOBMSG_TYPE_INT64, 2147483648LL},
                     {"below", BLOBMSG_TYPE_INT64, -2147483649LL}};
    for (const auto& expected : kIntegers) {
        blob_attr* attr = Find(buf.head(), expected.name);
        ASSERT_NE(attr, nullptr) << expected.name;
        ASSERT_EQ(blobmsg_type(attr), expected.type) << expected.name;
        int64_t value = expected.type == BLOBMSG_TYPE_INT32
                            ? static_cast<int32_t>(blobmsg_get_u32(attr))
                            : static_cast<int64_t>(blobmsg_get_u64(attr));
        EXPECT_EQ(value, expected.value) << expected.name;
    }
    blob_attr* on = Find(buf.head(), "on");
    ASSERT_NE(on, nullptr);
    EXPECT_EQ(blobmsg_type(on), BLOBMSG_TYPE_INT8);
    EXPECT_TRUE(blobmsg_get_bool(on));
    blob_attr* ratio = Find(buf.head(), "ratio");
    ASSERT_NE(ratio, nullptr);
    EXPECT_EQ(blobmsg_type(ratio), BLOBMSG_TYPE_DOUBLE);
    EXPECT_EQ(blobmsg_get_double(ratio), 0.5);
}

TEST(BlobmsgJson, NestedArraysAndTablesRoundTrip) {
    const char* text =
        R"({"list":[1,"two",[true,false],{"k":null}],"table":{"inner":{"s":"v"},"empty":{}},)"
        R"("none":[],"ints":[2147483647,-2147483648,2147483648,-2147483649]})";
    BlobBuf buf;
    ASSERT_TRUE(blobmsg_add_json_from_string(buf.get(), text));
    EXPECT_EQ(Json(buf.head()), text);
    blob_attr* list = Find(buf.head(), "list");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(blobmsg_type(list), BLOBMSG_TYPE_ARRAY);
    EXPECT_EQ(blobmsg_check_array(list, BLOBMSG_TYPE_UNSPEC), 4);
    EXPECT_EQ(blobmsg_type(Find(buf.head(), "table")), BLOBMSG_TYPE_TABLE);
}

TEST(BlobmsgJson, StringsAreEscaped) {
    BlobBuf buf;
    blobmsg_add_string(buf.get(), "s", "q\"b\\n\nt\tc\x01/");
    EXPECT_EQ(Json(buf.head()), R"({"s":"q\"b\\n\nt\tc\u0001\/"})");
}

TEST(BlobmsgJson, FormatsOneAttributeWithItsNameOrItsValueAloneAndAnArrayAsArray) {
    BlobBuf buf;
    blobmsg_add_u32(buf.get(), "n", 3);
    void* list = blobmsg_open_array(buf.get(), "list");
    blobmsg_add_string(buf.get(), nullptr, "a");
    blobmsg_add_u32(buf.get(), nullptr, 2);
    blobmsg_close_array(buf.get(), list);
    blob_attr* n = Find(buf.head(), "n");
    char* texts[] = {blobmsg_format_json(n, false), blobmsg_format_json_value(n),
                     blobmsg_format_json(Find(buf.head(), "list"), true)};
    EXPECT_STREQ(texts[0], "\"n\":3");
    EXPECT_STREQ(texts[1], "3");
    EXPECT_STREQ(texts[2], R"(["a",2])");
    for (char* text : texts) free(text);
}

TEST(BlobmsgJson, InvalidJsonOrANonObjectIsRefused) {
    for (const char* text :
         {"", "{", R"({"a":)", "not json", R"({"a" 1})", "[1,2]", "\"s\"", "7"}) {
        BlobBuf buf;
        EXPECT_FALSE(blobmsg_add_json_from_string(buf.get(), text)) << text;
    }
}

}  // namespace
