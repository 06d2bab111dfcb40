#ifndef WLAN_AGENT_LINE_TOKENS_H
#define WLAN_AGENT_LINE_TOKENS_H

#include <stddef.h>
#include <stdio.h>

// Reads one line of a file into buffer without its line break. A line longer than the buffer
// keeps its first size - 1 bytes and the rest is skipped. False at the end of the file.
bool read_bounded_line(FILE* file, char* buffer, size_t size);

// Walks the tokens of a text: runs of blanks, tabs and newlines separate them.
class TokenReader {
public:
    enum Result {
        kNone,     // no token left
        kToken,    // the token was copied whole
        kTooLong,  // the token did not fit: the buffer holds its first size - 1 characters
    };

    explicit TokenReader(const char* text) : rest_(text ? text : "") {}
    Result Next(char* buffer, size_t size);

private:
    const char* rest_;
};

// Reads a whole token as a hexadecimal number ("0x" prefix allowed). False when it is not one.
bool parse_hex_token(const char* token, long* value);

#endif
