// The shared library exports exactly its public interface: the free functions and data of the
// expected list under their plain names, and the members of the four exported classes.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <set>
#include <string>

namespace {

const char* const kExportedClasses[] = {
    "HostapdAgent::", "StaList::", "StaListItem::", "UbusAssistant::"};

std::set<std::string> ExpectedPlainNames() {
    std::set<std::string> names;
    std::ifstream in(WLANMGR_SOURCE_DIR "/cmake/exported_names.txt");
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '#') names.insert(line);
    return names;
}

// Defined dynamic symbols of the built library, demangled.
std::set<std::string> ExportedSymbols() {
    std::set<std::string> names;
    std::string command = "nm -D --defined-only -C " WLANMGR_BINARY_DIR "/libwlanmgr.so";
    FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return names;
    char line[4096];
    while (fgets(line, sizeof(line), p)) {
        std::string s(line);
        if (!s.empty() && s.back() == '\n') s.pop_back();
        // "<address> <type> <name>"
        size_t first = s.find(' ');
        size_t second = first == std::string::npos ? first : s.find(' ', first + 1);
        if (second == std::string::npos) continue;
        names.insert(s.substr(second + 1));
    }
    pclose(p);
    return names;
}

// Symbols that a sanitizer build adds to instrumented globals.
bool IsSanitizerSymbol(const std::string& symbol) {
    for (const char* prefix : {"__odr_asan", "__asan", "__ubsan", "__tsan"})
        if (symbol.rfind(prefix, 0) == 0) return true;
    return false;
}

bool IsClassMember(const std::string& symbol) {
    std::string name = symbol;
    for (const char* prefix : {"typeinfo for ", "typeinfo name for ", "vtable for "})
        if (name.rfind(prefix, 0) == 0) name = name.substr(strlen(prefix));
    for (const char* cls : kExportedClasses)
        if (name.rfind(cls, 0) == 0) return true;
    return false;
}

}  // namespace

TEST(Exports, LibraryExportsExactlyItsInterface) {
    std::set<std::string> expected = ExpectedPlainNames();
    ASSERT_FALSE(expected.empty());
    std::set<std::string> exported = ExportedSymbols();
    ASSERT_FALSE(exported.empty()) << "nm found no symbols in libwlanmgr.so";

    for (const std::string& name : expected)
        EXPECT_TRUE(exported.count(name)) << "not exported: " << name;
    for (const std::string& symbol : exported) {
        if (expected.count(symbol) || IsClassMember(symbol) || IsSanitizerSymbol(symbol)) continue;
        ADD_FAILURE() << "exported but not part of the interface: " << symbol;
    }
}

TEST(Exports, LibraryCarriesItsSoname) {
    std::string command = "readelf -d " WLANMGR_BINARY_DIR "/libwlanmgr.so";
    FILE* p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[512];
    while (fgets(buf, sizeof(buf), p)) out += buf;
    pclose(p);
    EXPECT_NE(out.find("Library soname: [libwlanmgr.so.1]"), std::string::npos) << out;
}
