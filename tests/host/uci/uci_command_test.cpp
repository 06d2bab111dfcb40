// The `uci` command: get, set, commit and show with the device command's output and statuses.
#include <string>
#include <vector>

#include "tests/host/uci/uci_test_support.h"

using ucitest::Uci;

namespace {

constexpr const char* kProduct =
    "\nconfig info 'info'\n"
    "\toption product_region 'EU'\n"
    "\toption ssid_prefix 'It''s'\n"
    "\toption motto \"it's\"\n"
    "\tlist band '2g'\n"
    "\tlist band '5g'\n\n"
    "config wlanwarn 'wlanwarn'\n"
    "\toption launch '1'\n\n"
    "config host\n"
    "\toption name 'a'\n\n";

class UciCommand : public UciTest {
protected:
    void SetUp() override {
        UciTest::SetUp();
        if (!IsSkipped()) sandbox::WriteFile("/etc/config/product", kProduct);
    }
};

}  // namespace

TEST_F(UciCommand, GetPrintsTheValueAndANewline) {
    auto r = Uci("get product.info.product_region");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "EU\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Uci("get product.info.band").out, "2g 5g\n");
    EXPECT_EQ(Uci("get product.wlanwarn").out, "wlanwarn\n");
    EXPECT_EQ(Uci("get 'product.@host[0].name'").out, "a\n");
}

// Failures print nothing on stdout, change nothing and give the device command's status and
// message: exactly, or (not exact) a message starting with the given text.
TEST_F(UciCommand, FailuresGiveTheStatusAndMessage) {
    sandbox::WriteFile("/etc/config/wlan", "");
    struct Case {
        std::string args;
        int status;
        std::string err;
        bool exact;
    };
    std::vector<Case> cases = {
        {"get product.info.nothing", 1, "uci: Entry not found\n", true},
        {"get product.nothing.launch", 1, "uci: Entry not found\n", true},
        {"get nothing.a.b", 1, "uci: Entry not found\n", true},
        {"-q get nothing.a.b", 1, "", true},
        {"set nothing.a.b=1", 1, "uci: Entry not found\n", true},
        {"set wlan.basic_setting.disable_time=600", 1, "uci: Invalid argument\n", true},
        {"commit nothing", 1, "uci: Entry not found\n", true},
        {"show product.nothing", 1, "uci: Entry not found\n", true},
    };
    for (const char* args :
         {"set product.info.product_region", "get product.info.x=1", "get 'product.info.a b'"})
        cases.push_back({args, 1, "", false});
    for (const char* args :
         {"", "frobnicate", "get", "get a.b c.d", "-x get a.b", "show a b", "-c"})
        cases.push_back({args, 255, "Usage: uci", false});
    for (const Case& c : cases) {
        auto r = Uci(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        if (c.exact) {
            EXPECT_EQ(r.err, c.err) << c.args;
        } else {
            EXPECT_TRUE(r.err.size() > c.err.size() && r.err.rfind(c.err, 0) == 0)
                << c.args << ": " << r.err;
        }
    }
    EXPECT_EQ(ucitest::Delta("wlan"), "");
    EXPECT_EQ(ucitest::Delta("product"), "");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/product"), kProduct);
}

TEST_F(UciCommand, SetIsVisibleAtOnceAndReachesTheFileOnCommit) {
    ASSERT_EQ(Uci("set product.wlanwarn.launch=0").status, 0);
    EXPECT_EQ(Uci("get product.wlanwarn.launch").out, "0\n");
    EXPECT_EQ(sandbox::ReadFile("/etc/config/product"), kProduct);
    EXPECT_EQ(ucitest::Delta("product"), "product.wlanwarn.launch='0'\n");

    auto r = Uci("commit product");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(sandbox::ReadFile("/etc/config/product").find("\toption launch '0'\n"),
              std::string::npos);
    EXPECT_EQ(ucitest::Delta("product"), "");
    EXPECT_EQ(Uci("get product.wlanwarn.launch").out, "0\n");
}

TEST_F(UciCommand, SetCreatesASectionThenItsOption) {
    sandbox::WriteFile("/etc/config/wlan", "");
    ASSERT_EQ(Uci("set wlan.basic_setting=basic_setting").status, 0);
    ASSERT_EQ(Uci("set wlan.basic_setting.disable_time=600").status, 0);
    ASSERT_EQ(Uci("commit wlan").status, 0);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/wlan"),
              "\nconfig basic_setting 'basic_setting'\n\toption disable_time '600'\n\n");
}

TEST_F(UciCommand, SetValuesKeepSpacesAndQuotes) {
    ASSERT_EQ(Uci("set \"product.info.ssid_prefix=My 'Net' x=1\"").status, 0);
    ASSERT_EQ(Uci("commit product").status, 0);
    EXPECT_EQ(Uci("get product.info.ssid_prefix").out, "My 'Net' x=1\n");
}

TEST_F(UciCommand, CommitWithoutPackageCommitsEveryPackage) {
    sandbox::WriteFile("/etc/config/a", "config s 's'\n");
    sandbox::WriteFile("/etc/config/b", "config s 's'\n");
    ASSERT_EQ(Uci("set a.s.x=1").status, 0);
    ASSERT_EQ(Uci("set b.s.y=2").status, 0);
    ASSERT_EQ(Uci("commit").status, 0);
    EXPECT_NE(sandbox::ReadFile("/etc/config/a").find("option x '1'"), std::string::npos);
    EXPECT_NE(sandbox::ReadFile("/etc/config/b").find("option y '2'"), std::string::npos);
}

TEST_F(UciCommand, ShowPrintsSectionsAndQuotedOptions) {
    auto r = Uci("show product");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "product.info=info\n"
              "product.info.product_region='EU'\n"
              "product.info.ssid_prefix='Its'\n"
              "product.info.motto='it'\\''s'\n"
              "product.info.band='2g' '5g'\n"
              "product.wlanwarn=wlanwarn\n"
              "product.wlanwarn.launch='1'\n"
              "product.@host[0]=host\n"
              "product.@host[0].name='a'\n");
    EXPECT_EQ(Uci("show product.wlanwarn").out,
              "product.wlanwarn=wlanwarn\nproduct.wlanwarn.launch='1'\n");
    EXPECT_EQ(Uci("show product.info.product_region").out, "product.info.product_region='EU'\n");
}

TEST_F(UciCommand, ShowWithoutArgumentShowsEveryPackageInOrder) {
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

TEST_F(UciCommand, DashCReadsAndCommitsPackagesInThatDirectory) {
    sandbox::WriteFile("/tmp/conf/product", "config info 'info'\n\toption region 'CN'\n");
    EXPECT_EQ(Uci("-c /tmp/conf get product.info.region").out, "CN\n");
    ASSERT_EQ(Uci("-c /tmp/conf set product.info.region=US").status, 0);
    ASSERT_EQ(Uci("-c /tmp/conf commit product").status, 0);
    EXPECT_NE(sandbox::ReadFile("/tmp/conf/product").find("option region 'US'"), std::string::npos);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/product"), kProduct);
}
