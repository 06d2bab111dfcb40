#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "tests/config/config_test_support.h"

namespace {

std::string UciValue(const char* command, int size, const char* fallback) {
    char buffer[256];
    memset(buffer, 'x', sizeof(buffer));
    read_uci(command, buffer, size, fallback);
    return buffer;
}

}  // namespace

using ReadUci = SandboxTest;

TEST_F(ReadUci, TakesTheFirstLineWithoutItsNewline) {
    EXPECT_EQ(UciValue("printf 'CN\\n'", 128, "UN"), "CN");
    EXPECT_EQ(UciValue("printf 'first\\nsecond\\n'", 128, "UN"), "first");
    EXPECT_TRUE(logcap::Level5().empty());
}

TEST_F(ReadUci, OutputWithoutNewlineIsCutToTheBuffer) {
    EXPECT_EQ(UciValue("printf 0123456789012345678", 16, "x"), "012345678901234");
    EXPECT_EQ(UciValue("printf abc", 16, "x"), "abc");
}

TEST_F(ReadUci, NoOutputGivesTheDefault) {
    EXPECT_EQ(UciValue("true", 128, "Unknown"), "Unknown");
    EXPECT_TRUE(HasLevel5("uci get fail, use defaut value"));
}

TEST_F(ReadUci, MissingProgramGivesTheDefault) {
    EXPECT_EQ(UciValue("/no/such/uci get x 2>/dev/null", 128, "UN"), "UN");
}

TEST_F(ReadUci, DefaultIsCutToTheBuffer) { EXPECT_EQ(UciValue("true", 4, "Unknown"), "Unk"); }

TEST_F(ReadUci, ReadsOptionsOfAUciPackage) {
    sandbox::WriteFile("/etc/config/product", "config info 'info'\n\toption product_region 'EU'\n");
    EXPECT_EQ(UciValue("uci get product.info.product_region", 128, "UN"), "EU");
    EXPECT_EQ(UciValue("uci get product.info.missing 2>/dev/null", 128, "UN"), "UN");
}

using ExportProduct = SandboxTest;

TEST_F(ExportProduct, OnlyRegionCnIsHome) {
    sandbox::WriteFile("/etc/config/product", "config info 'info'\n\toption product_region 'CN'\n");
    EXPECT_EQ(is_export_product(), 0);
    sandbox::WriteFile("/etc/config/product", "config info 'info'\n\toption product_region 'EU'\n");
    EXPECT_EQ(is_export_product(), 1);
    sandbox::WriteFile("/etc/config/product",
                       "config info 'info'\n\toption product_region 'CNX'\n");
    EXPECT_EQ(is_export_product(), 1);
}

TEST_F(ExportProduct, NoRegionCountsAsExport) { EXPECT_EQ(is_export_product(), 1); }
