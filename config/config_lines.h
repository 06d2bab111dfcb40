#ifndef WLAN_CONFIG_CONFIG_LINES_H
#define WLAN_CONFIG_CONFIG_LINES_H

#include <stddef.h>
#include <stdio.h>

#include <memory>

// Closes a stdio stream when it goes out of scope.
struct FileCloser {
    void operator()(FILE* file) const {
        if (file != nullptr) fclose(file);
    }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

// Reads a key=value style file line by line through a 128-byte buffer. A line longer than 127
// characters arrives in pieces, and each piece counts as a line of its own. The counter counts
// every line read, comments and empty lines included.
class ConfigLineReader {
public:
    static constexpr size_t kBufferSize = 128;

    explicit ConfigLineReader(FILE* file) : file_(file) {}

    // Reads the next line and removes its trailing newline. False at the end of the file.
    bool Next();
    char* Text() { return buffer_; }
    int LineNumber() const { return line_; }

private:
    FILE* file_;
    char buffer_[kBufferSize] = {};
    int line_ = 0;
};

// Copies value into a text field of size bytes. A value that does not fit is cut to the field
// with a level-5 message naming the line and the key.
void store_config_text(char* field, size_t size, const char* value, int line, const char* key);

#endif
