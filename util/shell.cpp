#include "util/shell.h"

#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "util/log.h"

namespace {

constexpr size_t kCommandSize = 1024;

// The status a shell reports for a program it found but could not execute (126) or did not
// find (127).
int unexecuted_status(int error) { return (error == ENOENT || error == ENOTDIR ? 127 : 126) << 8; }

// Whether posix_spawnp failed before a process existed (as fork would), rather than at exec.
bool no_process(int error) { return error == EAGAIN || error == ENOMEM || error == ENOSYS; }

// Starts argv[0] from PATH with the process's environment; stdout_fd, when not -1, becomes the
// program's standard output. Returns 0 or the error of posix_spawnp.
int spawn_program(const char* const argv[], int stdout_fd, pid_t* pid) {
    posix_spawn_file_actions_t actions;
    int error = posix_spawn_file_actions_init(&actions);
    if (error != 0) return error;
    if (stdout_fd >= 0) error = posix_spawn_file_actions_adddup2(&actions, stdout_fd, 1);
    if (error == 0)
        error =
            posix_spawnp(pid, argv[0], &actions, nullptr, const_cast<char* const*>(argv), environ);
    if (error == ENOEXEC) {
        // A script without an interpreter line: the shell runs such a file itself, so it gets
        // the command line, each argument quoted as one word.
        std::string line;
        for (const char* const* arg = argv; *arg != nullptr; ++arg)
            line += (line.empty() ? "" : " ") + shell_quote(*arg);
        const char* shell_argv[] = {"sh", "-c", line.c_str(), nullptr};
        error = posix_spawn(pid, "/bin/sh", &actions, nullptr, const_cast<char* const*>(shell_argv),
                            environ);
    }
    posix_spawn_file_actions_destroy(&actions);
    return error;
}

int wait_for(pid_t pid) {
    int status = 0;
    pid_t result;
    do {
        result = waitpid(pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    return result == pid ? status : -1;
}

// Splits a command line into words when the shell would read it as those words and nothing
// else: only plain characters, words separated by blanks.
bool plain_words(const char* command_line, std::vector<std::string>* words) {
    words->clear();
    std::string word;
    for (const char* p = command_line;; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\0' || c == ' ' || c == '\t') {
            if (!word.empty()) words->push_back(word);
            word.clear();
            if (c == '\0') break;
        } else if (isalnum(c) || strchr("_./:,+@-", c) != nullptr) {
            word += static_cast<char>(c);
        } else {
            return false;
        }
    }
    return !words->empty();
}

}  // namespace

int shell_status(const char* command_line) {
    if (command_line == nullptr) return -1;
    return system(command_line);
}

bool shell_status_ok(int status) {
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool shell_run(const char* command_line) { return shell_status_ok(shell_status(command_line)); }

int command_status(const char* const argv[]) {
    if (argv == nullptr || argv[0] == nullptr) return -1;
    pid_t pid;
    int error = spawn_program(argv, -1, &pid);
    if (error != 0) return no_process(error) ? -1 : unexecuted_status(error);
    return wait_for(pid);
}

bool command_run(const char* const argv[]) { return shell_status_ok(command_status(argv)); }

bool shell_runf(const char* format, ...) {
    char command[kCommandSize];
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(command, sizeof(command), format, ap);
    va_end(ap);
    if (n < 0 || static_cast<size_t>(n) >= sizeof(command)) {
        WLAN_LOG5("command too long, not run");
        return false;
    }
    return shell_run(command);
}

std::string shell_quote(const char* text) {
    std::string quoted = "'";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\'')
            quoted += "'\\''";
        else
            quoted += *p;
    }
    quoted += '\'';
    return quoted;
}

bool format_bounded(char* buffer, size_t size, const char* format, ...) {
    if (size == 0) return false;
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(buffer, size, format, ap);
    va_end(ap);
    if (n < 0) {
        buffer[0] = '\0';
        return false;
    }
    return static_cast<size_t>(n) < size;
}

bool ShellPipe::Open(const char* command_line) {
    Close();
    if (command_line == nullptr) return false;
    stream_ = popen(command_line, "r");
    return stream_ != nullptr;
}

bool ShellPipe::OpenCommand(const char* const argv[]) {
    Close();
    if (argv == nullptr || argv[0] == nullptr) return false;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    pid_t pid = -1;
    int error = spawn_program(argv, fds[1], &pid);
    close(fds[1]);
    if (error != 0 && no_process(error)) {
        close(fds[0]);
        return false;
    }
    stream_ = fdopen(fds[0], "r");
    if (stream_ == nullptr) {
        close(fds[0]);
        if (error == 0) wait_for(pid);
        return false;
    }
    // A program that could not be executed reads as the shell's would: no output, status 127.
    pid_ = error == 0 ? pid : -1;
    unstarted_status_ = error == 0 ? 0 : unexecuted_status(error);
    return true;
}

bool ShellPipe::OpenWords(const char* command_line) {
    if (command_line == nullptr) return false;
    std::vector<std::string> words;
    if (!plain_words(command_line, &words)) return Open(command_line);
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    argv.push_back(nullptr);
    return OpenCommand(argv.data());
}

bool ShellPipe::ReadLine(char* buffer, size_t size) {
    if (stream_ == nullptr || size < 2) return false;
    return fgets(buffer, static_cast<int>(size), stream_) != nullptr;
}

bool ShellPipe::ReadWholeLine(char* buffer, size_t size) {
    if (!ReadLine(buffer, size)) return false;
    size_t len = strlen(buffer);
    if (len > 0 && buffer[len - 1] == '\n') {
        buffer[len - 1] = '\0';
        return true;
    }
    // Over-long line: drop the rest of it.
    int c;
    while ((c = fgetc(stream_)) != EOF && c != '\n') {
    }
    return true;
}

size_t ShellPipe::Read(char* buffer, size_t size) {
    if (stream_ == nullptr || size < 2) return 0;
    return fread(buffer, 1, size - 1, stream_);
}

int ShellPipe::Close() {
    if (stream_ == nullptr) return -1;
    int status;
    if (pid_ == 0) {
        status = pclose(stream_);
    } else {
        fclose(stream_);
        status = pid_ > 0 ? wait_for(pid_) : unstarted_status_;
    }
    stream_ = nullptr;
    pid_ = 0;
    return status;
}
