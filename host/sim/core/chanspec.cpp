#include "core/chanspec.h"

#include <stdio.h>

namespace sim {
namespace {

constexpr unsigned kBand2g = 0x0000;
constexpr unsigned kBand5g = 0xc000;
constexpr unsigned kWidth20 = 0x1000;
constexpr unsigned kWidth40 = 0x1800;
constexpr unsigned kUpperSideband = 0x0100;

bool HasPartner(const Chanspec& spec) {
    if (spec.sideband == 0) return true;
    if (Is2gChannel(spec.channel))
        return spec.sideband == 'l' ? spec.channel + 4 <= 14 : spec.channel - 4 >= 1;
    return spec.channel != 165;
}

}  // namespace

bool Is2gChannel(int channel) { return channel >= 1 && channel <= 14; }

bool Is5gChannel(int channel) {
    if (channel >= 36 && channel <= 64) return channel % 4 == 0;
    if (channel >= 100 && channel <= 144) return channel % 4 == 0;
    if (channel >= 149 && channel <= 165) return (channel - 149) % 4 == 0;
    return false;
}

bool ParseChanspec(const std::string& text, Chanspec* spec) {
    if (text.empty()) return false;
    Chanspec parsed;
    std::string digits = text;
    char last = text.back();
    if (last == 'l' || last == 'u') {
        parsed.sideband = last;
        digits.pop_back();
    }
    if (digits.empty() || digits.size() > 3) return false;
    int channel = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        channel = channel * 10 + (c - '0');
    }
    parsed.channel = channel;
    if (!Is2gChannel(parsed.channel) && !Is5gChannel(parsed.channel)) return false;
    if (!HasPartner(parsed)) return false;
    *spec = parsed;
    return true;
}

bool BandAllows(const std::string& band, const Chanspec& spec) {
    if (band == "a") return Is5gChannel(spec.channel);
    if (band == "b") return Is2gChannel(spec.channel);
    return true;
}

std::string ChanspecName(const Chanspec& spec) {
    std::string name = std::to_string(spec.channel);
    if (spec.sideband != 0) name += spec.sideband;
    return name;
}

unsigned ChanspecCode(const Chanspec& spec) {
    unsigned band = Is2gChannel(spec.channel) ? kBand2g : kBand5g;
    if (spec.sideband == 0) return band | kWidth20 | static_cast<unsigned>(spec.channel);
    int centre = spec.sideband == 'l' ? spec.channel + 2 : spec.channel - 2;
    unsigned side = spec.sideband == 'u' ? kUpperSideband : 0;
    return band | kWidth40 | side | static_cast<unsigned>(centre);
}

std::string FormatChanspec(const Chanspec& spec) {
    char code[16];
    snprintf(code, sizeof(code), "0x%04x", ChanspecCode(spec));
    return ChanspecName(spec) + " (" + code + ")";
}

bool ParseChannelList(const std::string& text, std::vector<Chanspec>* list, std::string* error) {
    std::vector<Chanspec> parsed;
    std::string body = text;
    if (!body.empty() && body.back() == ',') body.pop_back();
    if (body.empty()) {
        *error = "empty channel list";
        return false;
    }
    size_t start = 0;
    while (start <= body.size()) {
        size_t comma = body.find(',', start);
        std::string token = body.substr(start, comma == std::string::npos ? comma : comma - start);
        Chanspec spec;
        if (!ParseChanspec(token, &spec)) {
            *error = "invalid channel '" + token + "' in list";
            return false;
        }
        if (parsed.size() == kMaxChannelList) {
            *error = "more than " + std::to_string(kMaxChannelList) + " channels in list";
            return false;
        }
        parsed.push_back(spec);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    *list = parsed;
    return true;
}

}  // namespace sim
