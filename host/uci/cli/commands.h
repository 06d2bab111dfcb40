// Commands of the `uci` program. Each returns the exit status: 0, 1 on failure, or kUsage when
// the arguments do not fit the command.
#ifndef UCI_CLI_COMMANDS_H
#define UCI_CLI_COMMANDS_H

#include <uci.h>

namespace uci_cli {

constexpr int kUsage = 255;

struct Session {
    uci_context* ctx;
    bool quiet;
};

int Get(Session* s, int argc, char** argv);
int Set(Session* s, int argc, char** argv);
int Commit(Session* s, int argc, char** argv);
int Revert(Session* s, int argc, char** argv);
int Show(Session* s, int argc, char** argv);

// Prints "uci: <error text>" for the context's last error (or for ERR when given).
void ReportError(Session* s, int err = UCI_OK);

}  // namespace uci_cli

#endif
