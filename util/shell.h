#ifndef WLAN_UTIL_SHELL_H
#define WLAN_UTIL_SHELL_H

#include <stddef.h>
#include <stdio.h>
#include <sys/types.h>

#include <string>

// Every external command of the library runs through these helpers.

// Runs a command line through the shell. True when it could be started, was not ended by a
// signal and exited with status 0.
bool shell_run(const char* command_line);

// Formats a command line into a bounded buffer and runs it like shell_run. A command line that
// does not fit is not run (level-5 message) and counts as a failure.
bool shell_runf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The raw status of running a command line through the shell, as system() reports it.
int shell_status(const char* command_line);

// Whether a status returned by shell_status, command_status or ShellPipe::Close means success.
bool shell_status_ok(int status);

// Starts a program directly, without a shell: argv[0] is looked up in PATH as the shell does and
// the program receives exactly the given arguments (argv ends with a null pointer). The status is
// the one system() would report for the same command line: -1 when no process could be made, 127
// (or 126) as the exit status when the program could not be executed.
int command_status(const char* const argv[]);
// Like shell_run, for a program started directly.
bool command_run(const char* const argv[]);

// Quotes a text for the shell: the result is one word whose value is the text, whatever it holds.
std::string shell_quote(const char* text);

// Formats into a buffer; false when the text did not fit (the buffer then holds a cut text).
bool format_bounded(char* buffer, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Reads a command's standard output through a pipe. The pipe is closed by Close or on
// destruction.
class ShellPipe {
public:
    ShellPipe() = default;
    explicit ShellPipe(const char* command_line) { Open(command_line); }
    ~ShellPipe() { Close(); }
    ShellPipe(const ShellPipe&) = delete;
    ShellPipe& operator=(const ShellPipe&) = delete;

    bool Open(const char* command_line);
    // Starts a program directly (see command_status) and reads its standard output. A command
    // line of plain words (letters, digits, "_./:,+@-" and blanks between them) gives the same
    // argument list to the shell, so OpenWords starts it directly; any other line goes through
    // the shell as with Open.
    bool OpenCommand(const char* const argv[]);
    bool OpenWords(const char* command_line);
    bool IsOpen() const { return stream_ != nullptr; }
    // One line into buffer (as fgets: newline kept, at most size - 1 characters); false at end.
    bool ReadLine(char* buffer, size_t size);
    // Like ReadLine, but a line longer than the buffer is read to its end and the rest dropped;
    // the newline is removed. Returns false at end of output.
    bool ReadWholeLine(char* buffer, size_t size);
    // One read of up to size - 1 bytes; returns the count (0 at end or on error). No terminator.
    size_t Read(char* buffer, size_t size);
    FILE* Stream() { return stream_; }
    // Closes the pipe and returns the command's status (-1 when it was not open).
    int Close();

private:
    FILE* stream_ = nullptr;
    // 0: a shell's pipe (popen); above 0: a directly started program; -1: a program that could
    // not be executed, whose status is unstarted_status_.
    pid_t pid_ = 0;
    int unstarted_status_ = 0;
};

#endif
