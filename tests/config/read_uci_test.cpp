#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "tests/config/config_test_support.h"

using ReadUci = SandboxTest;

// The first line without its newline, cut to the buffer; the default (also cut) when the
// command prints nothing or is missing.
TEST_F(ReadUci, TakesTheFirstLineOrTheDefaultCutToTheBuffer) {
    sandbox::WriteFile("/etc/config/product", "config info 'info'\n\toption product_region 'EU'\n");
    const struct {
        const char* command;
        int size;
        const char* fallback;
        const char* value;
    } cases[] = {
        {"printf 'CN\\n'", 128, "UN", "CN"},
        {"printf 'first\\nsecond\\n'", 128, "UN", "first"},
        {"printf 0123456789012345678", 16, "x", "012345678901234"},
        {"printf abc", 16, "x", "abc"},
        {"uci get product.info.product_region", 128, "UN", "EU"},
        {"uci get product.info.missing 2>/dev/null", 128, "UN", "UN"},
        {"/no/such/uci get x 2>/dev/null", 128, "UN", "UN"},
        {"true", 128, "Unknown", "Unknown"},
        {"true", 4, "Unknown", "Unk"},
    };
    for (const auto& c : cases) {
        char buffer[256];
        memset(buffer, 'x', sizeof(buffer));
        read_uci(c.command, buffer, c.size, c.fallback);
        EXPECT_STREQ(buffer, c.value) << c.command;
    }
    EXPECT_TRUE(HasLevel5("uci get fail, use defaut value"));
}

TEST_F(ReadUci, ValueFoundLogsNothing) {
    char buffer[16];
    read_uci("printf 'CN\\n'", buffer, sizeof(buffer), "UN");
    EXPECT_TRUE(logcap::Level5().empty());
}

using ExportProduct = SandboxTest;

TEST_F(ExportProduct, OnlyRegionCnIsHomeAndNoRegionCountsAsExport) {
    EXPECT_EQ(is_export_product(), 1);
    for (const auto& [region, export_product] :
         {std::pair<const char*, int>{"CN", 0}, {"EU", 1}, {"CNX", 1}}) {
        sandbox::WriteFile("/etc/config/product", std::string("config info 'info'\n") +
                                                      "\toption product_region '" + region + "'\n");
        EXPECT_EQ(is_export_product(), export_product) << region;
    }
}
