// The shared library exports exactly its public interface: the free functions and data of the
// expected list under their plain names, and the members of the four exported classes.
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/sandbox.h"

namespace {

bool StartsWithAny(const std::string& name, std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes)
        if (name.rfind(prefix, 0) == 0) return true;
    return false;
}

}  // namespace

TEST(Exports, LibraryExportsExactlyItsInterfaceUnderItsSoname) {
    std::set<std::string> expected;
    std::ifstream list(WLANMGR_SOURCE_DIR "/cmake/exported_names.txt");
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#') expected.insert(line);
    ASSERT_FALSE(expected.empty());
    // "<address> <type> <demangled name>" per defined dynamic symbol.
    std::set<std::string> exported;
    std::istringstream nm(
        sandbox::Output("nm -D --defined-only -C " WLANMGR_BINARY_DIR "/libwlanmgr.so"));
    for (std::string address, type, name;
         nm >> address >> type && std::getline(nm >> std::ws, name);)
        exported.insert(name);
    ASSERT_FALSE(exported.empty()) << "nm found no symbols in libwlanmgr.so";

    for (const std::string& name : expected)
        EXPECT_TRUE(exported.count(name)) << "not exported: " << name;
    for (const std::string& symbol : exported) {
        // Sanitizer builds add symbols to instrumented globals.
        if (expected.count(symbol) ||
            StartsWithAny(symbol, {"__odr_asan", "__asan", "__ubsan", "__tsan"}))
            continue;
        std::string member = symbol;
        for (const char* prefix : {"typeinfo for ", "typeinfo name for ", "vtable for "})
            if (member.rfind(prefix, 0) == 0) member = member.substr(std::string(prefix).size());
        if (StartsWithAny(member,
                          {"HostapdAgent::", "StaList::", "StaListItem::", "UbusAssistant::"}))
            continue;
        ADD_FAILURE() << "exported but not part of the interface: " << symbol;
    }
    std::string dynamic = sandbox::Output("readelf -d " WLANMGR_BINARY_DIR "/libwlanmgr.so");
    EXPECT_NE(dynamic.find("Library soname: [libwlanmgr.so.1]"), std::string::npos) << dynamic;
}
