#include "util/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/sandbox.h"

namespace {

std::string ReadAll(ShellPipe& pipe) {
    std::string out;
    char buf[256];
    size_t n;
    while ((n = pipe.Read(buf, sizeof(buf))) > 0) out.append(buf, n);
    return out;
}

}  // namespace

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

// A program started directly receives every argument as the same bytes the shell would have
// handed over from a quoted word, and its status reads as the shell's would.
TEST(CommandStart, ArgumentsArriveByteForByteAndStatusReadsAsTheShells) {
    const std::string texts[] = {"",
                                 "it's",
                                 "$(touch /tmp/x) `id` $HOME; rm -rf /",
                                 "a\"b'c\\d\nnext=1",
                                 "{\"k\":\"v\\u0001\"}",
                                 "\xff\xfe %n"};
    std::vector<const char*> argv = {"sh", "-c", "for a; do printf '[%s]' \"$a\"; done", "sh"};
    std::string through_shell = "sh -c " + shell_quote(argv[2]) + " sh";
    std::string expected;
    for (const std::string& text : texts) {
        argv.push_back(text.c_str());
        through_shell += " " + shell_quote(text.c_str());
        expected += "[" + text + "]";
    }
    argv.push_back(nullptr);
    ShellPipe direct;
    ASSERT_TRUE(direct.OpenCommand(argv.data()));
    ShellPipe shell(through_shell.c_str());
    EXPECT_EQ(ReadAll(direct), expected);
    EXPECT_EQ(ReadAll(shell), expected);
    EXPECT_EQ(direct.Close(), 0);

    const char* exit3[] = {"sh", "-c", "exit 3", nullptr};
    const char* killed[] = {"sh", "-c", "kill -9 $$", nullptr};
    const char* missing[] = {"no-such-program", nullptr};
    const char* ok[] = {"true", nullptr};
    EXPECT_TRUE(command_run(ok));
    EXPECT_EQ(command_status(exit3), shell_status("exit 3"));
    EXPECT_FALSE(command_run(killed));
    EXPECT_EQ(command_status(missing), shell_status("no-such-program 2>/dev/null"));
    ShellPipe none;
    ASSERT_TRUE(none.OpenCommand(missing));  // as popen: opens, reads nothing, fails on close
    EXPECT_EQ(ReadAll(none), "");
    EXPECT_EQ(none.Close(), 127 << 8);

    // A script without an interpreter line runs as the shell runs it, with the same arguments.
    sandbox::WriteFile("/tmp/bare-script", "printf '[%s]' \"$@\"\nexit 4\n");
    ASSERT_EQ(chmod("/tmp/bare-script", 0755), 0);
    const char* bare[] = {"/tmp/bare-script", "a  b", "$x", nullptr};
    ShellPipe script;
    ASSERT_TRUE(script.OpenCommand(bare));
    EXPECT_EQ(ReadAll(script), "[a  b][$x]");
    EXPECT_EQ(script.Close(), 4 << 8);
}

// Only a line the shell would split into the same plain words is started without the shell.
TEST(CommandStart, OpenWordsKeepsTheShellForAnyOtherLine) {
    for (const char* line : {"printf %s\\\\n a", "echo a && echo b", "echo a > /dev/stdout",
                             "echo 'a  b'", "echo $((1+1))"}) {
        ShellPipe words;
        ShellPipe shell(line);
        ASSERT_TRUE(words.OpenWords(line)) << line;
        EXPECT_EQ(ReadAll(words), ReadAll(shell)) << line;
    }
    ShellPipe plain;
    ASSERT_TRUE(plain.OpenWords("  echo  wlarm\tassoclist:1,2 "));
    EXPECT_EQ(ReadAll(plain), "wlarm assoclist:1,2\n");
}
