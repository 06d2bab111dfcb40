// Words and quoting of the line-based file syntax shared by package and delta files.
#include "uci_internal.h"

namespace uci_host {

bool SplitWords(const std::string& line, std::vector<std::string>* words) {
    words->clear();
    size_t i = 0;
    const size_t n = line.size();
    while (true) {
        while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= n || line[i] == '#') return true;
        std::string word;
        while (i < n && line[i] != ' ' && line[i] != '\t') {
            char c = line[i++];
            if (c == '\'') {
                size_t close = line.find('\'', i);
                if (close == std::string::npos) return false;
                word.append(line, i, close - i);
                i = close + 1;
            } else if (c == '"') {
                bool closed = false;
                while (i < n) {
                    char d = line[i++];
                    if (d == '"') {
                        closed = true;
                        break;
                    }
                    if (d == '\\') {
                        if (i >= n) return false;
                        d = line[i++];
                    }
                    word.push_back(d);
                }
                if (!closed) return false;
            } else if (c == '\\') {
                if (i >= n) return false;
                word.push_back(line[i++]);
            } else {
                word.push_back(c);
            }
        }
        words->push_back(word);
    }
}

std::string QuoteValue(const char* value) {
    std::string out = "'";
    for (const char* c = value; *c; ++c) {
        if (*c == '\'') {
            out += "'\\''";
        } else {
            out.push_back(*c);
        }
    }
    out.push_back('\'');
    return out;
}

}  // namespace uci_host
