#include "agent/sta_sources.h"

#include <ctype.h>
#include <string.h>

#include "agent/line_tokens.h"

namespace {

constexpr size_t kMaxIfnameLength = 15;

}  // namespace

SourceLine parse_lease_line(const char* line, LeaseEntry* entry) {
    TokenReader tokens(line);
    TokenReader::Result results[5] = {
        tokens.Next(entry->expiry, sizeof(entry->expiry)),
        tokens.Next(entry->mac, sizeof(entry->mac)),
        tokens.Next(entry->ip, sizeof(entry->ip)),
        tokens.Next(entry->host_name, sizeof(entry->host_name)),
        tokens.Next(entry->client_id, sizeof(entry->client_id)),
    };
    for (TokenReader::Result result : results)
        if (result == TokenReader::kNone) return SourceLine::kMalformed;
    if (results[1] == TokenReader::kTooLong || results[2] == TokenReader::kTooLong)
        return SourceLine::kUnusable;
    return SourceLine::kEntry;
}

SourceLine parse_arp_line(const char* line, ArpEntry* entry) {
    TokenReader tokens(line);
    char hw_type[32];
    char flags[32];
    TokenReader::Result results[6] = {
        tokens.Next(entry->ip, sizeof(entry->ip)),
        tokens.Next(hw_type, sizeof(hw_type)),
        tokens.Next(flags, sizeof(flags)),
        tokens.Next(entry->hw_address, sizeof(entry->hw_address)),
        tokens.Next(entry->mask, sizeof(entry->mask)),
        tokens.Next(entry->device, sizeof(entry->device)),
    };
    for (TokenReader::Result result : results)
        if (result == TokenReader::kNone) return SourceLine::kMalformed;
    if (results[1] == TokenReader::kTooLong || results[2] == TokenReader::kTooLong ||
        !parse_hex_token(hw_type, &entry->hw_type) || !parse_hex_token(flags, &entry->flags))
        return SourceLine::kMalformed;
    entry->device_usable = results[5] == TokenReader::kToken && is_ifname_text(entry->device);
    if (results[0] == TokenReader::kTooLong || results[3] == TokenReader::kTooLong)
        return SourceLine::kUnusable;
    return SourceLine::kEntry;
}

bool is_ifname_text(const char* text) {
    if (text == nullptr) return false;
    size_t length = strlen(text);
    if (length == 0 || length > kMaxIfnameLength) return false;
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (!isalnum(c) && c != '.' && c != '_' && c != '-' && c != ':') return false;
    }
    return true;
}
