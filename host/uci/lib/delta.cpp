// Delta files hold the saved but uncommitted changes of one package, one change a line:
//   pkg.section.option='value'   set an option
//   pkg.section='type'           set a section's type, creating the section
//   -pkg.section[.option]        delete
#include <string.h>

#include "uci_internal.h"

namespace uci_host {
namespace {

struct DeltaLine {
    uci_command cmd = UCI_CMD_CHANGE;
    std::string section;
    std::string option;  // empty for a section
    bool has_value = false;
    std::string value;
};

bool ParseDeltaLine(const std::string& line, const char* package, DeltaLine* out) {
    if (line.empty()) return false;
    size_t start = 1;
    switch (line[0]) {
        case '-':
            out->cmd = UCI_CMD_REMOVE;
            break;
        case '+':
        case '@':
        case '^':
        case '|':
        case '~':
            return false;  // kinds of change this store never writes
        default:
            out->cmd = UCI_CMD_CHANGE;
            start = 0;
    }
    std::vector<std::string> words;
    if (!SplitWords(line.substr(start), &words) || words.size() != 1) return false;
    std::string tuple = words[0];
    size_t eq = tuple.find('=');
    out->has_value = eq != std::string::npos;
    if (out->has_value) {
        out->value = tuple.substr(eq + 1);
        tuple.resize(eq);
    }
    size_t dot1 = tuple.find('.');
    if (dot1 == std::string::npos || tuple.compare(0, dot1, package) != 0 ||
        strlen(package) != dot1)
        return false;
    size_t dot2 = tuple.find('.', dot1 + 1);
    out->section = tuple.substr(dot1 + 1, dot2 == std::string::npos ? dot2 : dot2 - dot1 - 1);
    if (dot2 != std::string::npos) {
        out->option = tuple.substr(dot2 + 1);
        if (!ValidName(out->option.c_str())) return false;
    }
    if (!ValidName(out->section.c_str())) return false;
    if (out->has_value && !uci_validate_text(out->value.c_str())) return false;
    return out->cmd == UCI_CMD_REMOVE || out->has_value;
}

void Apply(const DeltaLine& d, uci_package* p) {
    uci_element* se = FindElement(&p->sections, d.section.c_str());
    uci_section* s = se != nullptr ? uci_to_section(se) : nullptr;
    if (d.cmd == UCI_CMD_REMOVE) {
        if (s == nullptr) return;
        if (d.option.empty()) {
            RemoveSection(s);
        } else if (uci_element* oe = FindElement(&s->options, d.option.c_str())) {
            RemoveOption(uci_to_option(oe));
        }
        return;
    }
    if (!d.option.empty()) {
        if (s != nullptr) SetOption(s, d.option.c_str(), d.value.c_str());
        return;
    }
    if (!ValidType(d.value.c_str())) return;
    if (s != nullptr) {
        SetSectionType(s, d.value.c_str());
    } else {
        AddSection(p, d.value.c_str(), d.section.c_str());
    }
}

// Calls f with each line of text, without its newline; a last line needs none.
template <class F>
void ForEachLine(const std::string& text, F f) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        f(text.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

void ApplyDeltas(const std::string& text, uci_package* p) {
    ForEachLine(text, [p](std::string line) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        DeltaLine d;
        if (ParseDeltaLine(line, p->e.name, &d)) Apply(d, p);
    });
}

std::string FilterDeltas(const std::string& text, const char* package, const char* section,
                         const char* option) {
    std::string kept;
    ForEachLine(text, [&](const std::string& line) {
        DeltaLine d;
        const bool dropped = ParseDeltaLine(line, package, &d) &&
                             (section == nullptr || d.section == section) &&
                             (option == nullptr || d.option == option);
        if (!dropped) kept += line + "\n";
    });
    return kept;
}

std::string FormatDeltas(const uci_package* p) {
    std::string out;
    uci_element* e;
    uci_foreach_element(&p->delta, e) {
        const uci_delta* d = uci_to_delta(e);
        if (d->cmd == UCI_CMD_REMOVE) out += "-";
        out += std::string(p->e.name) + "." + d->section;
        if (e->name != nullptr) out += std::string(".") + e->name;
        if (d->value != nullptr) out += "=" + QuoteValue(d->value);
        out += "\n";
    }
    return out;
}

}  // namespace uci_host
