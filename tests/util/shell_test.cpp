#include "util/shell.h"

#include <gtest/gtest.h>

TEST(ShellQuote, AnyTextStaysOneLiteralWord) {
    for (const char* text :
         {"plain", "", "it's", "$(touch /tmp/x) `id` $HOME; rm -rf /", "a\"b'c\\d\nnext"}) {
        std::string command = "printf %s " + shell_quote(text);
        ShellPipe pipe(command.c_str());
        std::string out;
        char buf[256];
        size_t n;
        while ((n = pipe.Read(buf, sizeof(buf))) > 0) out.append(buf, n);
        EXPECT_EQ(out, text);
    }
}

TEST(ShellRun, SuccessNeedsExitStatusZeroAndACommandLineThatFits) {
    EXPECT_TRUE(shell_run("true"));
    for (const char* failing : {"false", "exit 3", "kill -9 $$", "/no/such/program 2>/dev/null"})
        EXPECT_FALSE(shell_run(failing)) << failing;
    EXPECT_FALSE(shell_runf("true %s", std::string(2000, 'x').c_str()));
    EXPECT_TRUE(shell_runf("test %d -eq 4", 4));
}

TEST(ShellPipe, WholeLineDropsTheRestOfLongLines) {
    ShellPipe pipe("printf 'abcdefghij\\nxy\\n'");
    char buf[5];
    ASSERT_TRUE(pipe.ReadWholeLine(buf, sizeof(buf)));
    EXPECT_STREQ(buf, "abcd");
    ASSERT_TRUE(pipe.ReadWholeLine(buf, sizeof(buf)));
    EXPECT_STREQ(buf, "xy");
    EXPECT_FALSE(pipe.ReadWholeLine(buf, sizeof(buf)));
    EXPECT_EQ(pipe.Close(), 0);
}
