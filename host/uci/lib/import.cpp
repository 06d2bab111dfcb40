// Reads a package file: "config TYPE ['NAME']" starts a section, "option KEY 'VALUE'" and
// "list KEY 'VALUE'" fill it. A damaged file still loads: every line that cannot be read is
// left out, and options after a section header that cannot be read are left out with it.
#include <string.h>

#include "uci_internal.h"

namespace uci_host {
namespace {

// Longer lines are not configuration but damage (or an attempt to exhaust memory).
constexpr size_t kMaxLineLength = 4096;

bool ReadableLine(const std::string& line) {
    if (line.size() > kMaxLineLength) return false;
    for (unsigned char c : line) {
        if (c < ' ' && c != '\t') return false;
    }
    return true;
}

bool StartsSection(const std::string& line) {
    size_t start = line.find_first_not_of(" \t");
    return start != std::string::npos && line.compare(start, 6, "config") == 0 &&
           (start + 6 == line.size() || line[start + 6] == ' ' || line[start + 6] == '\t');
}

// Returns the section that following options belong to, or null when there is none.
uci_section* OpenSection(uci_package* p, const std::vector<std::string>& words, int* err) {
    if (words.size() < 2 || words.size() > 3) return nullptr;
    const char* type = words[1].c_str();
    const char* name = words.size() == 3 ? words[2].c_str() : nullptr;
    if (!ValidType(type) || (name != nullptr && !ValidName(name))) return nullptr;
    if (name != nullptr) {
        uci_element* e = FindElement(&p->sections, name);
        if (e != nullptr) {
            uci_section* s = uci_to_section(e);
            if (strcmp(s->type, type) != 0 && !SetSectionType(s, type)) *err = UCI_ERR_MEM;
            return s;
        }
    }
    uci_section* s = AddSection(p, type, name);
    if (s == nullptr) *err = UCI_ERR_MEM;
    return s;
}

void AddOption(uci_section* s, const std::vector<std::string>& words, int* err) {
    if (s == nullptr || words.size() != 3) return;
    const char* name = words[1].c_str();
    const char* value = words[2].c_str();
    if (!ValidName(name) || !uci_validate_text(value)) return;
    uci_option* o = words[0] == "list" ? AddListValue(s, name, value) : SetOption(s, name, value);
    if (o == nullptr) *err = UCI_ERR_MEM;
}

}  // namespace

int ImportConfig(const std::string& text, uci_package* p) {
    int err = UCI_OK;
    uci_section* current = nullptr;
    std::vector<std::string> words;
    size_t start = 0;
    while (start < text.size() && err == UCI_OK) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        if (!ReadableLine(line) || !SplitWords(line, &words)) {
            if (StartsSection(line)) current = nullptr;
            continue;
        }
        if (words.empty()) continue;
        if (words[0] == "config") {
            current = OpenSection(p, words, &err);
        } else if (words[0] == "option" || words[0] == "list") {
            AddOption(current, words, &err);
        }
    }
    return err;
}

}  // namespace uci_host
