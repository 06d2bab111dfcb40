#ifndef WLAN_TESTS_FUZZ_SUPPORT_H
#define WLAN_TESTS_FUZZ_SUPPORT_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <string_view>
#include <vector>

// Shared by the fuzz targets (one LLVMFuzzerTestOneInput each) and their replay program.
namespace fuzz {

// Silences the library's log, then enters the test sandbox; for LLVMFuzzerInitialize of the
// targets that read or write device paths. Exits with status 77 (a skip for the replay, a
// failure for a fuzz run) and the reason when the sandbox is unavailable.
void EnterSandbox(int* argc, char*** argv);

// Silences the library's log (for the targets that need no sandbox).
void QuietLog();

// Replaces the file at path with the bytes.
void Put(const char* path, std::string_view bytes);

// The input cut into up to n parts at each line "--" (a missing part is empty).
std::vector<std::string> Parts(const uint8_t* data, size_t size, size_t n);

// With no_commands.cpp: what every command started through popen() prints (empty at first).
extern std::string g_command_output;

}  // namespace fuzz

#endif
