// Reading package and delta files: the syntax the device writes and damaged files.
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/host/uci/uci_test_support.h"

using ucitest::LibraryGet;

namespace {

// A package file, an optional delta, what lookups find in them ("<incomplete>" for a line
// that was skipped) and, optionally, a line that `uci show` prints for them.
struct SyntaxCase {
    const char* about;
    std::string file;
    std::string delta;
    std::vector<std::pair<const char*, std::string>> found;
    std::string shown = "";
};

void PrintTo(const SyntaxCase& c, std::ostream* os) { *os << c.about; }

std::vector<SyntaxCase> Cases() {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xff));
    return {
        {"quoted, unquoted and escaped values",
         "package net\n"
         "# comment line\n"
         "config interface lan\n"
         "  option proto static   # trailing comment\n"
         "\toption name \"say \\\"hi\\\" \\\\ there\"\n"
         "\toption mixed 'a b'\"c\"d\n"
         "\toption empty ''\n"
         "\toption hash 'x#y'\r\n",
         "",
         {{"net.lan", "interface"},
          {"net.lan.proto", "static"},
          {"net.lan.name", "say \"hi\" \\ there"},
          {"net.lan.mixed", "a bcd"},
          {"net.lan.empty", ""},
          {"net.lan.hash", "x#y"}}},
        {"a repeated section name adds to the first",
         "config a 'lan'\n\toption x 1\nconfig b 'lan'\n\toption y 2\n",
         "",
         {{"net.lan", "b"}, {"net.lan.x", "1"}, {"net.lan.y", "2"}}},
        {"lines with open quotes",
         "config interface 'lan'\n\toption broken 'no end\n\toption broken2 \"no end\n"
         "\toption good 'yes'\n",
         "",
         {{"net.lan.broken", "<incomplete>"},
          {"net.lan.broken2", "<incomplete>"},
          {"net.lan.good", "yes"}}},
        {"options of an unreadable section header",
         "config interface 'lan\n\toption orphan '1'\nconfig interface bad-name\n"
         "\toption orphan2 '1'\nconfig interface 'wan'\n\toption proto 'dhcp'\n",
         "",
         {{"net.wan.proto", "dhcp"},
          {"net.@interface[0]", "interface"},
          {"net.@interface[1]", "<incomplete>"},
          {"net.wan.orphan", "<incomplete>"}}},
        {"options before any section",
         "option lost '1'\nconfig a 'b'\n\toption kept '1'\n",
         "",
         {{"net.b.kept", "1"}, {"net.b.lost", "<incomplete>"}}},
        {"over-long lines",
         "config a 'b'\n\toption big '" + std::string(100000, 'x') + "'\n\toption after '1'\n",
         "",
         {{"net.b.big", "<incomplete>"}, {"net.b.after", "1"}}},
        {"binary content",
         binary + "\nconfig a 'b'\n\toption kept '1'\n" + std::string("\toption nul 'x\0y'\n", 18),
         "",
         {{"net.b.kept", "1"}, {"net.b.nul", "<incomplete>"}},
         "net.b.kept='1'\n"},
        {"damaged delta lines",
         "config a 'b'\n\toption x '1'\n\toption y '1'\n",
         "net.b.x='unterminated\nother.b.x='2'\nnet.b.y.z='2'\n" + std::string(10000, '\x01') +
             "\nnet.b.y='3'\n",
         {{"net.b.x", "1"}, {"net.b.y", "3"}}},
    };
}

}  // namespace

class UciFileSyntax : public UciTest, public ::testing::WithParamInterface<SyntaxCase> {};

TEST_P(UciFileSyntax, LoadsWhatIsReadableAndSkipsTheRest) {
    const SyntaxCase& c = GetParam();
    sandbox::WriteFile("/etc/config/net", c.file);
    if (!c.delta.empty()) sandbox::WriteFile("/tmp/.uci/net", c.delta);
    for (const auto& [tuple, value] : c.found) EXPECT_EQ(LibraryGet(tuple), value) << tuple;
    auto shown = ucitest::Uci("show net");
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find(c.shown), std::string::npos) << shown.out;
}

INSTANTIATE_TEST_SUITE_P(Files, UciFileSyntax, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<SyntaxCase>& info) {
                             std::string name;
                             bool word_start = true;
                             for (char ch : std::string(info.param.about)) {
                                 if (isalnum(static_cast<unsigned char>(ch)))
                                     name += word_start ? static_cast<char>(toupper(ch)) : ch;
                                 word_start = ch == ' ';
                             }
                             return name;
                         });

using UciFileWrite = UciTest;

TEST_F(UciFileWrite, ListLinesAreKeptThroughACommit) {
    sandbox::WriteFile("/etc/config/net",
                       "config interface 'lan'\n\tlist dns 'a'\n\tlist dns b\n\toption x '1'\n");
    ASSERT_EQ(ucitest::LibrarySet("net.lan.x=2", true), UCI_OK);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/net"),
              "\nconfig interface 'lan'\n\tlist dns 'a'\n\tlist dns 'b'\n\toption x '2'\n\n");
}
