// Linked into the targets whose inputs make the library start commands (tests/fuzz/CMakeLists.txt
// wraps system, popen and pclose for them): the commands are not run, system() reports exit
// status 0 and popen() gives fuzz::g_command_output as the command's output, so a target spends
// its time in the library's own code rather than in /bin/sh.
#include <stdio.h>

#include "tests/fuzz/support.h"

std::string fuzz::g_command_output;

extern "C" int __wrap_system(const char*) { return 0; }

extern "C" FILE* __wrap_popen(const char*, const char*) {
    std::string& out = fuzz::g_command_output;
    return out.empty() ? fopen("/dev/null", "r") : fmemopen(out.data(), out.size(), "r");
}

extern "C" int __wrap_pclose(FILE* stream) { return stream != nullptr ? fclose(stream) : -1; }
