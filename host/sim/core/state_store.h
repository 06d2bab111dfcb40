#ifndef WLAN_SIM_STATE_STORE_H
#define WLAN_SIM_STATE_STORE_H

#include <string>
#include <vector>

#include "core/state.h"

namespace sim {

// Holds the state lock (flock on the lock file) from Acquire until destruction, so that one
// invocation's read-change-write never interleaves with another's.
class StateLock {
public:
    StateLock() = default;
    ~StateLock();
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

    bool Acquire(std::string* error);

private:
    int fd_ = -1;
};

// Reads the state file; a missing file is the state of a radio never configured.
bool LoadState(RadioState* state, std::string* error);
// Replaces the state file whole (temporary file, then rename).
bool SaveState(const RadioState& state, std::string* error);

// Replaces a file under the state directory whole.
bool ReplaceStateFile(const char* path, const std::string& content, std::string* error);
// Reads a whole file; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string* content);
// Appends one line (a newline is added) to a file, creating it.
bool AppendLine(const std::string& path, const std::string& line);

// Shows an argument list as a shell would need it typed: words that are empty or hold blanks,
// quotes or other special characters are put in single quotes.
std::string QuoteArguments(const std::vector<std::string>& args);

}  // namespace sim

#endif
