// The scan methods, called over the bus the way the web interface calls them, with the radio's
// reports from the simulator and a real process standing in for the running supplicant.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/e2e/bus_peers.h"

namespace {

// One access point block of a scan report.
std::string Ap(const std::string& ssid, int quality, const std::string& wpa = "WPA2-PSK AES",
               const std::string& cls = "WPA") {
    return ssid + "\n" + std::to_string(quality) + "\n1\n" + wpa + "\n" + cls + "\n\n";
}
std::string Item(const std::string& json_ssid, int security, int signal) {
    return "{\"ssid\":\"" + json_ssid + "\",\"security\":" + std::to_string(security) +
           ",\"signal\":" + std::to_string(signal) + "}";
}
std::string List(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ",") + item;
    return "{\"apList\":[" + text + "]}";
}

class ScanMethods : public BusMethodTest {
protected:
    void Prepare() override {
        BusMethodTest::Prepare();
        StartAp();
        // The supplicant: a process of that name; the radio notes its state at each scan.
        pid_ = sandbox::Output(
            "cp /bin/sleep /tmp/wpa_supplicant && "
            "(/tmp/wpa_supplicant 600 >/dev/null 2>&1 & echo $!)");
        pid_.pop_back();
        e2e::WrapWlarm("case \"$*\" in *escanresults*) cut -d' ' -f3 /proc/" + pid_ +
                       "/stat | tr -d '\\n' >> /tmp/stopped;; esac\n");
    }
    void TearDown() override {
        if (!pid_.empty()) sandbox::Run("kill -9 " + pid_);
        BusMethodTest::TearDown();
    }
    // Scans with the report loaded; returns the list text of the reply.
    std::string Scan(const std::string& report, int status = 0) {
        sandbox::WriteFile("/tmp/report", report);
        EXPECT_TRUE(e2e::Sim("scan load /tmp/report"));
        std::string reply;
        EXPECT_EQ(ui_.Call("wlan_get_scan_result", "", &reply), status);
        return reply.empty() ? "" : e2e::Field(reply, "ApList");
    }
    // Stopped during each scan command so far, and running now.
    void ExpectSupplicantPausedAndResumed(size_t scans) {
        EXPECT_EQ(sandbox::ReadFile("/tmp/stopped"), std::string(scans, 'T'));
        EXPECT_NE(sandbox::Output("cut -d' ' -f3 /proc/" + pid_ + "/stat"), "T\n");
    }
    std::string pid_;
};

}  // namespace

TEST_F(ScanMethods, ListMergesSortsAndEscapesEveryNetwork) {
    const std::string ssid32(32, 'x');
    // clang-format off
    const std::vector<std::tuple<std::string, std::string, std::string>> rows = {
        // Duplicates keep the best level; the same SSID with other security stays apart.
        {"dupes", "4\n" + Ap("Home", 40) + Ap("Home", 80) + Ap("Home", 60, "WPA-PSK TKIP") +
                  Ap("Cafe", 11, "", "NONE"),
         List({Item("Home", 5, 4), Item("Home", 2, 3), Item("Cafe", 0, 1)})},
        // Levels 1, 4, 3 (edges 20, 71, 70 and 10) sorted highest first; hidden ones write no item.
        {"sort", "5\n" + Ap("A", 20) + Ap("B", 71) + Ap("C", 70) + Ap("", 90) + Ap("D", 10),
         List({Item("B", 5, 4), Item("C", 5, 3), Item("A", 5, 1), Item("D", 5, 0)})},
        {"security", "7\n" + Ap("w", 5, "", "WEP") + Ap("e", 5, "WPA2-PSK AES", "802.1X") +
                     Ap("m", 5, "WPA/WPA2-PSK", "WPA") + Ap("t", 5, "WPA2-PSK TKIP", "WPA") +
                     Ap("a", 5, "WPA-PSK AES", "WPA") + Ap("?", 5, "unknown", "?"),
         List({Item("w", 1, 0), Item("e", 7, 0), Item("m", 6, 0), Item("t", 4, 0), Item("a", 3, 0),
               Item("?", 5, 0)})},
        // Odd SSIDs: valid JSON whatever they hold; over-long ones cut before a whole character.
        {"odd", "7\n" + Ap("say \"hi\"", 90) + Ap("back\\slash`", 90) + Ap("Caf\u00e9 \u2615", 90) +
                Ap(ssid32, 90) + Ap(std::string(34, 'a') + "\u00e9!", 90) + Ap("", 90) +
                Ap(std::string(200, 'z'), 50),
         List({Item("say \\\"hi\\\"", 5, 4), Item("back\\\\slash`", 5, 4),
               Item("Caf\u00e9 \u2615", 5, 4), Item(ssid32, 5, 4), Item(std::string(34, 'a'), 5, 4),
               Item(std::string(35, 'z'), 5, 2)})},
        // More networks than announced and a block cut short by the end of the report.
        {"bounds", "1\n" + Ap("One", 20) + Ap("Two", 90) + Ap("One", 60) + "Three\n90\n",
         List({Item("One", 5, 3)})},
    };
    // clang-format on
    for (const auto& [name, report, list] : rows) EXPECT_EQ(Scan(report), list) << name;
    ExpectSupplicantPausedAndResumed(rows.size());

    // A list longer than the text keeps whole items only.
    std::string many;
    for (int i = 0; i < 80; ++i) many += Ap(std::string(30, '"') + std::to_string(i), 90);
    const std::string text = Scan("80\n" + many);
    EXPECT_LT(text.size(), 4096u);
    EXPECT_EQ(e2e::Field("{\"s\":\"x\"," + text.substr(1), "s"), "x") << text;
}

// An empty scan answers with the previous one, then with nothing; a failed scan with an error.
TEST_F(ScanMethods, EmptyOrFailedScanFallsBackOrFails) {
    const std::string list = List({Item("Home", 5, 4)});
    EXPECT_EQ(Scan("1\n" + Ap("Home", 90)), list);
    EXPECT_EQ(Scan("0\n"), list);
    EXPECT_EQ(Scan("0\n"), "");
    ASSERT_TRUE(e2e::Sim("fault fail escanresults"));
    EXPECT_EQ(Scan("1\n" + Ap("Home", 90), -1), "");
    ExpectSupplicantPausedAndResumed(4);
}

// The scan waits while the engine is busy, at most 4 s; no answer counts as idle.
TEST_F(ScanMethods, WaitsForTheScanEngine) {
    const std::vector<std::pair<std::string, size_t>> rows = {{"scan status 2", 1},
                                                              {"scan status 0 1 4", 3},
                                                              {"scan status 1", 9},
                                                              {"fault silent get_scan_status", 1}};
    size_t asked = 0;
    for (const auto& [setup, checks] : rows) {
        ASSERT_TRUE(e2e::Sim(setup));
        Scan("1\n" + Ap("Home", 90));
        EXPECT_EQ(e2e::WlarmCallsOf("-i eth0 get_scan_status").size() - asked, checks) << setup;
        asked = e2e::WlarmCallsOf("-i eth0 get_scan_status").size();
    }
    ExpectSupplicantPausedAndResumed(rows.size());
}

TEST_F(ScanMethods, ConnectedInfoReportsTheJoinedNetwork) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"", R"({"ssid":"","security":0,"signal":0})"},
        {"Connected to 02:00:00:00:00:01\nmy\\\\net \"1\"\n55\n1\nWPA2-PSK TKIP\nWPA\nmore\n",
         R"({"ssid":"my\\net \"1\"","security":4,"signal":3})"}};
    for (const auto& [report, reply] : rows) {
        sandbox::WriteFile("/tmp/report", report);
        ASSERT_TRUE(e2e::Sim(report.empty() ? "connected clear" : "connected load /tmp/report"));
        Expect("wlan_get_connected_info", "", 0, reply);
    }
}
