#include <gtest/gtest.h>

#include "util/shell.h"

TEST(ShellQuote, AnyTextStaysOneLiteralWord) {
    for (const char* text : {"plain", "", "it's", "$(touch /tmp/x) `id` $HOME; rm -rf /",
                             "a\"b'c\\d\nnext"}) {
        std::string command = "printf %s " + shell_quote(text);
        ShellPipe pipe(command.c_str());
        std::string out;
        char buf[256];
        size_t n;
        while ((n = pipe.Read(buf, sizeof(buf))) > 0) out.append(buf, n);
        EXPECT_EQ(out, text);
    }
}

TEST(ShellRun, SuccessNeedsExitStatusZero) {
    EXPECT_TRUE(shell_run("true"));
    EXPECT_FALSE(shell_run("false"));
    EXPECT_FALSE(shell_run("exit 3"));
    EXPECT_FALSE(shell_run("kill -9 $$"));
    EXPECT_FALSE(shell_run("/no/such/program 2>/dev/null"));
}

TEST(ShellRunf, RefusesCommandLinesThatDoNotFit) {
    std::string long_word(2000, 'x');
    EXPECT_FALSE(shell_runf("true %s", long_word.c_str()));
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
