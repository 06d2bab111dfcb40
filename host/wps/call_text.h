#ifndef WPSCLI_CALL_TEXT_H
#define WPSCLI_CALL_TEXT_H

#include <string>
#include <vector>

#include "wpscli_test.h"

namespace wpscli {

// Builds the recorded form of one library call (see struct wpscli_test_call).
class CallText {
public:
    explicit CallText(const char* name) : name_(name) {}

    CallText& Text(const char* text);
    CallText& Number(long long value);
    CallText& Settings(const brcm_wpscli_nw_settings* settings);
    CallText& Buffer(const void* buffer);

    const std::string& Name() const { return name_; }
    // Fills every field but `returned` and `status`; copies the settings record, so it must run
    // while the call still holds it.
    void Fill(wpscli_test_call* record) const;

private:
    std::string name_;
    std::vector<std::string> args_;
    const brcm_wpscli_nw_settings* settings_ = nullptr;
    const void* buffer_ = nullptr;
};

// A text in double quotes with '"', '\' and unprintable bytes escaped, cut after 64 characters.
std::string QuoteText(const char* text);

}  // namespace wpscli

#endif
