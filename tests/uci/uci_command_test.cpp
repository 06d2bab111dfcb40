// The `uci` command: get, set, commit and show with the device command's output and statuses.
#include <string>

#include "tests/uci/uci_test_support.h"

using ucitest::Uci;

namespace {

constexpr const char* kProduct =
    "\nconfig info 'info'\n"
    "\toption product_region 'EU'\n"
    "\toption ssid_prefix 'It''s'\n"
    "\tlist band '2g'\n"
    "\tlist band '5g'\n\n"
    "config wlanwarn 'wlanwarn'\n"
    "\toption launch '1'\n\n"
    "config host\n"
    "\toption name 'a'\n\n";

}  // namespace

using UciGet = UciTest;

TEST_F(UciGet, PrintsTheValueAndANewline) {
    sandbox::WriteFile("/etc/config/product", kProduct);
    auto r = Uci("get product.info.product_region");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "EU\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Uci("get product.info.band").out, "2g 5g\n");
    EXPECT_EQ(Uci("get product.wlanwarn").out, "wlanwarn\n");
    EXPECT_EQ(Uci("get 'product.@host[0].name'").out, "a\n");
}

TEST_F(UciGet, MissingEntriesFailWithAMessageOnStderr) {
    sandbox::WriteFile("/etc/config/product", kProduct);
    for (const char* missing : {"product.info.nothing", "product.nothing.launch", "nothing.a.b"}) {
        auto r = Uci(std::string("get ") + missing);
        EXPECT_EQ(r.status, 1) << missing;
        EXPECT_EQ(r.out, "") << missing;
        EXPECT_EQ(r.err, "uci: Entry not found\n") << missing;
    }
}

TEST_F(UciGet, QuietModeKeepsStderrEmpty) {
    auto r = Uci("-q get nothing.a.b");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
}

using UciSetCommit = UciTest;

TEST_F(UciSetCommit, SetIsVisibleAtOnceAndReachesTheFileOnCommit) {
    sandbox::WriteFile("/etc/config/product", kProduct);
    ASSERT_EQ(Uci("set product.wlanwarn.launch=0").status, 0);
    EXPECT_EQ(Uci("get product.wlanwarn.launch").out, "0\n");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/product"), kProduct);
    EXPECT_EQ(sandbox::ReadFile("/tmp/.uci/product"), "product.wlanwarn.launch='0'\n");

    auto r = Uci("commit product");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(sandbox::ReadFile("/etc/config/product").find("\toption launch '0'\n"),
              std::string::npos);
    EXPECT_EQ(sandbox::ReadFile("/tmp/.uci/product"), "");
    EXPECT_EQ(Uci("get product.wlanwarn.launch").out, "0\n");
}

TEST_F(UciSetCommit, CreatesASectionThenItsOption) {
    sandbox::WriteFile("/etc/config/wlan", "");
    ASSERT_EQ(Uci("set wlan.basic_setting=basic_setting").status, 0);
    ASSERT_EQ(Uci("set wlan.basic_setting.disable_time=600").status, 0);
    ASSERT_EQ(Uci("commit wlan").status, 0);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"),
              "\nconfig basic_setting 'basic_setting'\n\toption disable_time '600'\n\n");
}

TEST_F(UciSetCommit, OptionInAMissingSectionFails) {
    sandbox::WriteFile("/etc/config/wlan", "");
    auto r = Uci("set wlan.basic_setting.disable_time=600");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "uci: Invalid argument\n");
    EXPECT_FALSE(sandbox::Exists("/tmp/.uci/wlan") && !sandbox::ReadFile("/tmp/.uci/wlan").empty());
}

TEST_F(UciSetCommit, SetInAMissingPackageFails) {
    auto r = Uci("set nothing.a.b=1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "uci: Entry not found\n");
}

TEST_F(UciSetCommit, ValuesKeepSpacesAndQuotes) {
    sandbox::WriteFile("/etc/config/product", kProduct);
    ASSERT_EQ(Uci("set \"product.info.ssid_prefix=My 'Net' x=1\"").status, 0);
    ASSERT_EQ(Uci("commit product").status, 0);
    EXPECT_EQ(Uci("get product.info.ssid_prefix").out, "My 'Net' x=1\n");
}

TEST_F(UciSetCommit, CommitWithoutPackageCommitsEveryPackage) {
    sandbox::WriteFile("/etc/config/a", "config s 's'\n");
    sandbox::WriteFile("/etc/config/b", "config s 's'\n");
    ASSERT_EQ(Uci("set a.s.x=1").status, 0);
    ASSERT_EQ(Uci("set b.s.y=2").status, 0);
    ASSERT_EQ(Uci("commit").status, 0);
    EXPECT_NE(sandbox::ReadFile("/etc/config/a").find("option x '1'"), std::string::npos);
    EXPECT_NE(sandbox::ReadFile("/etc/config/b").find("option y '2'"), std::string::npos);
}

TEST_F(UciSetCommit, CommitOfAMissingPackageFails) {
    auto r = Uci("commit nothing");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "uci: Entry not found\n");
}

using UciShow = UciTest;

TEST_F(UciShow, PrintsSectionsAndQuotedOptions) {
    sandbox::WriteFile("/etc/config/product", kProduct);
    auto r = Uci("show product");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "product.info=info\n"
              "product.info.product_region='EU'\n"
              "product.info.ssid_prefix='Its'\n"
              "product.info.band='2g' '5g'\n"
              "product.wlanwarn=wlanwarn\n"
              "product.wlanwarn.launch='1'\n"
              "product.@host[0]=host\n"
              "product.@host[0].name='a'\n");
    EXPECT_EQ(Uci("show product.wlanwarn").out,
              "product.wlanwarn=wlanwarn\nproduct.wlanwarn.launch='1'\n");
    EXPECT_EQ(Uci("show product.info.product_region").out, "product.info.product_region='EU'\n");
}

TEST_F(UciShow, QuotesInValuesAreEscaped) {
    sandbox::WriteFile("/etc/config/p", "config s 's'\n\toption o \"it's\"\n");
    EXPECT_EQ(Uci("show p.s.o").out, "p.s.o='it'\\''s'\n");
}

TEST_F(UciShow, WithoutArgumentShowsEveryPackageInOrder) {
    sandbox::WriteFile("/etc/config/zeta", "config z 'z'\n");
    sandbox::WriteFile("/etc/config/alpha", "config a 'a'\n");
    auto r = Uci("show");
    EXPECT_EQ(r.status, 0);
    size_t alpha = r.out.find("alpha.a=a\n");
    size_t zeta = r.out.find("zeta.z=z\n");
    ASSERT_NE(alpha, std::string::npos) << r.out;
    ASSERT_NE(zeta, std::string::npos) << r.out;
    EXPECT_LT(alpha, zeta);
}

TEST_F(UciShow, MissingEntryFails) {
    sandbox::WriteFile("/etc/config/product", kProduct);
    auto r = Uci("show product.nothing");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "uci: Entry not found\n");
}

using UciConfigDir = UciTest;

TEST_F(UciConfigDir, DashCReadsAndCommitsPackagesInThatDirectory) {
    sandbox::WriteFile("/tmp/conf/product", "config info 'info'\n\toption region 'CN'\n");
    sandbox::WriteFile("/etc/config/product", kProduct);
    EXPECT_EQ(Uci("-c /tmp/conf get product.info.region").out, "CN\n");
    ASSERT_EQ(Uci("-c /tmp/conf set product.info.region=US").status, 0);
    ASSERT_EQ(Uci("-c /tmp/conf commit product").status, 0);
    EXPECT_NE(sandbox::ReadFile("/tmp/conf/product").find("option region 'US'"), std::string::npos);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/product"), kProduct);
}

using UciUsage = UciTest;

TEST_F(UciUsage, BadArgumentsPrintUsageAndFail) {
    for (const char* args :
         {"", "frobnicate", "get", "get a.b c.d", "-x get a.b", "show a b", "-c"}) {
        auto r = Uci(args);
        EXPECT_EQ(r.status, 255) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(r.err.rfind("Usage: uci", 0), 0u) << args << ": " << r.err;
    }
}

TEST_F(UciUsage, SetWithoutValueAndGetWithValueFail) {
    sandbox::WriteFile("/etc/config/product", kProduct);
    for (const char* args :
         {"set product.info.product_region", "get product.info.x=1", "get 'product.info.a b'"}) {
        auto r = Uci(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err, "") << args;
    }
}
