// The `uci` command of the development host: uci [-c DIR] [-q] get|set|commit|revert|show [...]
// It works on the same store as the library (packages in the config directory, uncommitted
// changes in the save directory).
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "commands.h"

namespace {

void PrintUsage() {
    fputs(
        "Usage: uci [<options>] <command> [<arguments>]\n"
        "\n"
        "Commands:\n"
        "\tcommit     [<config>]\n"
        "\trevert     <config>[.<section>[.<option>]]\n"
        "\tshow       [<config>[.<section>[.<option>]]]\n"
        "\tget        <config>.<section>[.<option>]\n"
        "\tset        <config>.<section>[.<option>]=<value>\n"
        "\n"
        "Options:\n"
        "\t-c <path>  set the search path for config files (default: " UCI_CONFDIR
        ")\n"
        "\t-q         quiet mode (don't print error messages)\n",
        stderr);
}

int RunCommand(uci_cli::Session* s, int argc, char** argv) {
    if (argc < 1) return uci_cli::kUsage;
    const char* name = argv[0];
    if (strcmp(name, "get") == 0) return uci_cli::Get(s, argc - 1, argv + 1);
    if (strcmp(name, "set") == 0) return uci_cli::Set(s, argc - 1, argv + 1);
    if (strcmp(name, "commit") == 0) return uci_cli::Commit(s, argc - 1, argv + 1);
    if (strcmp(name, "revert") == 0) return uci_cli::Revert(s, argc - 1, argv + 1);
    if (strcmp(name, "show") == 0) return uci_cli::Show(s, argc - 1, argv + 1);
    return uci_cli::kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    uci_context* ctx = uci_alloc_context();
    if (ctx == nullptr) {
        fputs("uci: Out of memory\n", stderr);
        return 1;
    }
    uci_cli::Session session{ctx, false};
    int status = 0;
    int opt;
    opterr = 0;
    while (status == 0 && (opt = getopt(argc, argv, "+c:q")) != -1) {
        if (opt == 'c') {
            if (uci_set_confdir(ctx, optarg) != UCI_OK) status = uci_cli::kUsage;
        } else if (opt == 'q') {
            session.quiet = true;
        } else {
            status = uci_cli::kUsage;
        }
    }
    if (status == 0) status = RunCommand(&session, argc - optind, argv + optind);
    if (status == uci_cli::kUsage) PrintUsage();
    uci_free_context(ctx);
    return status;
}
