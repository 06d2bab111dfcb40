#include "call_text.h"

#include <stdio.h>
#include <string.h>

namespace wpscli {
namespace {

constexpr size_t kMaxQuoted = 64;

std::string EscapeByte(unsigned char c) {
    if (c == '"' || c == '\\') return std::string("\\") + static_cast<char>(c);
    if (c < 0x20 || c >= 0x7f) {
        char hex[8];
        snprintf(hex, sizeof(hex), "\\x%02x", c);
        return hex;
    }
    return std::string(1, static_cast<char>(c));
}

void CopyBounded(char* dst, size_t size, const std::string& src) {
    size_t n = src.size() < size - 1 ? src.size() : size - 1;
    memcpy(dst, src.data(), n);
    dst[n] = '\0';
}

}  // namespace

std::string QuoteText(const char* text) {
    if (text == nullptr) return "NULL";
    std::string body;
    bool cut = false;
    for (const char* p = text; *p != '\0'; ++p) {
        std::string piece = EscapeByte(static_cast<unsigned char>(*p));
        if (body.size() + piece.size() > kMaxQuoted) {
            cut = true;
            break;
        }
        body += piece;
    }
    return "\"" + body + "\"" + (cut ? "..." : "");
}

CallText& CallText::Text(const char* text) {
    args_.push_back(QuoteText(text));
    return *this;
}

CallText& CallText::Number(long long value) {
    args_.push_back(std::to_string(value));
    return *this;
}

CallText& CallText::Settings(const brcm_wpscli_nw_settings* settings) {
    settings_ = settings;
    args_.push_back(settings != nullptr ? "&nw" : "NULL");
    return *this;
}

CallText& CallText::Buffer(const void* buffer) {
    buffer_ = buffer;
    args_.push_back(buffer != nullptr ? "&buf" : "NULL");
    return *this;
}

void CallText::Fill(wpscli_test_call* record) const {
    memset(record, 0, sizeof(*record));
    CopyBounded(record->name, sizeof(record->name), name_);
    std::string line = name_ + "(";
    for (size_t i = 0; i < args_.size(); ++i) {
        if (i < WPSCLI_TEST_MAX_ARGS) {
            CopyBounded(record->args[i], sizeof(record->args[i]), args_[i]);
            record->arg_count = static_cast<int>(i + 1);
        }
        line += (i > 0 ? ", " : "") + args_[i];
    }
    line += ")";
    CopyBounded(record->line, sizeof(record->line), line);
    if (settings_ != nullptr) {
        record->has_settings = 1;
        record->settings = *settings_;
    }
    record->settings_addr = settings_;
    record->buffer_addr = buffer_;
}

}  // namespace wpscli
