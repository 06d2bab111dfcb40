#include "core/state.h"

#include <sstream>

#include "core/number_text.h"

namespace sim {
namespace {

// Values may hold any byte but a line break must not end the record.
std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

// Splits "word rest" at the first blank; rest may be empty.
void SplitFirst(const std::string& line, std::string* word, std::string* rest) {
    size_t blank = line.find(' ');
    *word = line.substr(0, blank);
    *rest = blank == std::string::npos ? "" : line.substr(blank + 1);
}

void ParseLine(const std::string& line, RadioState* state) {
    std::string kind, rest;
    SplitFirst(line, &kind, &rest);
    std::string first, second;
    SplitFirst(rest, &first, &second);
    if (kind == "set" && !first.empty()) {
        state->Set(first, Unescape(second));
    } else if (kind == "sta" && !first.empty()) {
        state->stations.push_back({first, second == "1"});
    } else if (kind == "mac" && !first.empty()) {
        state->mac_list.push_back(first);
    } else if (kind == "fault" && !first.empty()) {
        std::string mode, count;
        SplitFirst(second, &mode, &count);
        Fault fault;
        fault.mode = mode == "silent" ? FaultMode::kSilent : FaultMode::kFail;
        if (!ParseNumber(count, &fault.remaining)) fault.remaining = -1;
        state->faults[first] = fault;
    } else if (kind == "scan_status") {
        state->scan_status.push_back(Unescape(rest));
    }
}

}  // namespace

std::string RadioState::Get(const std::string& key, const std::string& fallback) const {
    auto it = settings_.find(key);
    return it == settings_.end() ? fallback : it->second;
}

long RadioState::GetNumber(const std::string& key, long fallback) const {
    long value = 0;
    return ParseNumber(Get(key), &value) ? value : fallback;
}

void RadioState::SetNumber(const std::string& key, long value) {
    settings_[key] = std::to_string(value);
}

std::string RadioState::Serialize() const {
    std::ostringstream out;
    for (const auto& [key, value] : settings_) out << "set " << key << ' ' << Escape(value) << '\n';
    for (const Station& sta : stations) out << "sta " << sta.mac << ' ' << sta.authorized << '\n';
    for (const std::string& mac : mac_list) out << "mac " << mac << '\n';
    for (const auto& [name, fault] : faults)
        out << "fault " << name << ' ' << (fault.mode == FaultMode::kSilent ? "silent" : "fail")
            << ' ' << fault.remaining << '\n';
    for (const std::string& status : scan_status) out << "scan_status " << Escape(status) << '\n';
    return out.str();
}

RadioState RadioState::Parse(const std::string& text) {
    RadioState state;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) ParseLine(line, &state);
    return state;
}

std::string BssKey(int bss, const std::string& name) {
    return "bss" + std::to_string(bss) + "." + name;
}

int ApBss(const RadioState& state) { return state.GetNumber("apsta", 0) == 1 ? 1 : 0; }

bool RadioUp(const RadioState& state) { return state.GetNumber("up", 0) == 1; }

bool BssUp(const RadioState& state, int bss) {
    return RadioUp(state) && state.GetNumber(BssKey(bss, "up"), 0) == 1;
}

bool ApUp(const RadioState& state) { return BssUp(state, ApBss(state)); }

}  // namespace sim
