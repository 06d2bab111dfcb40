// Reading package and delta files: the syntax the device writes and damaged files.
#include <string>

#include "tests/uci/uci_test_support.h"

using ucitest::LibraryGet;

using UciFileSyntax = UciTest;

TEST_F(UciFileSyntax, ReadsQuotedUnquotedAndEscapedValues) {
    sandbox::WriteFile("/etc/config/net",
                       "package net\n"
                       "# comment line\n"
                       "config interface lan\n"
                       "  option proto static   # trailing comment\n"
                       "\toption name \"say \\\"hi\\\" \\\\ there\"\n"
                       "\toption mixed 'a b'\"c\"d\n"
                       "\toption empty ''\n"
                       "\toption hash 'x#y'\r\n");
    EXPECT_EQ(LibraryGet("net.lan"), "interface");
    EXPECT_EQ(LibraryGet("net.lan.proto"), "static");
    EXPECT_EQ(LibraryGet("net.lan.name"), "say \"hi\" \\ there");
    EXPECT_EQ(LibraryGet("net.lan.mixed"), "a bcd");
    EXPECT_EQ(LibraryGet("net.lan.empty"), "");
    EXPECT_EQ(LibraryGet("net.lan.hash"), "x#y");
}

TEST_F(UciFileSyntax, ListLinesAreKeptThroughACommit) {
    sandbox::WriteFile("/etc/config/net",
                       "config interface 'lan'\n\tlist dns 'a'\n\tlist dns b\n\toption x '1'\n");
    ASSERT_EQ(ucitest::LibrarySet("net.lan.x=2", true), UCI_OK);
    EXPECT_EQ(sandbox::ReadFile("/etc/config/net"),
              "\nconfig interface 'lan'\n\tlist dns 'a'\n\tlist dns 'b'\n\toption x '2'\n\n");
}

TEST_F(UciFileSyntax, RepeatedSectionNameAddsToTheFirst) {
    sandbox::WriteFile("/etc/config/net",
                       "config a 'lan'\n\toption x 1\nconfig b 'lan'\n\toption y 2\n");
    EXPECT_EQ(LibraryGet("net.lan"), "b");
    EXPECT_EQ(LibraryGet("net.lan.x"), "1");
    EXPECT_EQ(LibraryGet("net.lan.y"), "2");
}

TEST_F(UciFileSyntax, LinesWithOpenQuotesAreSkipped) {
    sandbox::WriteFile("/etc/config/net",
                       "config interface 'lan'\n"
                       "\toption broken 'no end\n"
                       "\toption broken2 \"no end\n"
                       "\toption good 'yes'\n");
    EXPECT_EQ(LibraryGet("net.lan.broken"), "<incomplete>");
    EXPECT_EQ(LibraryGet("net.lan.broken2"), "<incomplete>");
    EXPECT_EQ(LibraryGet("net.lan.good"), "yes");
}

TEST_F(UciFileSyntax, OptionsOfAnUnreadableSectionHeaderAreSkipped) {
    sandbox::WriteFile("/etc/config/net",
                       "config interface 'lan\n"
                       "\toption orphan '1'\n"
                       "config interface bad-name\n"
                       "\toption orphan2 '1'\n"
                       "config interface 'wan'\n"
                       "\toption proto 'dhcp'\n");
    EXPECT_EQ(LibraryGet("net.wan.proto"), "dhcp");
    EXPECT_EQ(LibraryGet("net.@interface[0]"), "interface");
    EXPECT_EQ(LibraryGet("net.@interface[1]"), "<incomplete>");
    EXPECT_EQ(LibraryGet("net.wan.orphan"), "<incomplete>");
}

TEST_F(UciFileSyntax, OptionsBeforeAnySectionAreSkipped) {
    sandbox::WriteFile("/etc/config/net", "option lost '1'\nconfig a 'b'\n\toption kept '1'\n");
    EXPECT_EQ(LibraryGet("net.b.kept"), "1");
    EXPECT_EQ(LibraryGet("net.b.lost"), "<incomplete>");
}

TEST_F(UciFileSyntax, OverLongLinesAreSkipped) {
    sandbox::WriteFile("/etc/config/net", "config a 'b'\n\toption big '" +
                                              std::string(100000, 'x') + "'\n\toption after '1'\n");
    EXPECT_EQ(LibraryGet("net.b.big"), "<incomplete>");
    EXPECT_EQ(LibraryGet("net.b.after"), "1");
}

TEST_F(UciFileSyntax, BinaryContentLoadsWhatIsReadable) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) & 0xff));
    sandbox::WriteFile("/etc/config/net", garbage + "\nconfig a 'b'\n\toption kept '1'\n" +
                                              std::string("\toption nul 'x\0y'\n", 18));
    EXPECT_EQ(LibraryGet("net.b.kept"), "1");
    EXPECT_EQ(LibraryGet("net.b.nul"), "<incomplete>");
    auto shown = ucitest::Uci("show net");
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("net.b.kept='1'\n"), std::string::npos) << shown.out;
}

TEST_F(UciFileSyntax, DamagedDeltaLinesAreSkipped) {
    sandbox::WriteFile("/etc/config/net", "config a 'b'\n\toption x '1'\n\toption y '1'\n");
    sandbox::WriteFile("/tmp/.uci/net",
                       "net.b.x='unterminated\n"
                       "other.b.x='2'\n"
                       "net.b.y.z='2'\n" +
                           std::string(10000, '\x01') +
                           "\n"
                           "net.b.y='3'\n");
    EXPECT_EQ(LibraryGet("net.b.x"), "1");
    EXPECT_EQ(LibraryGet("net.b.y"), "3");
}
