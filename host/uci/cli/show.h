// Output layouts of `uci show` and `uci get`.
#ifndef UCI_CLI_SHOW_H
#define UCI_CLI_SHOW_H

#include <uci.h>

#include <string>

namespace uci_cli {

// The value as `get` prints it: the text, or the items of a list joined by spaces.
std::string PlainValue(const uci_option* o);

// Lines "pkg.sec=type" and "pkg.sec.opt='value'" (anonymous sections named "@type[index]").
void ShowPackage(const uci_package* p);
void ShowSection(const uci_section* s);
void ShowOption(const uci_option* o);

}  // namespace uci_cli

#endif
