// The wire of the shared bus: one request and one answer per Unix stream connection, each a
// list of texts (a 32-bit count, then every text as a 32-bit length and its bytes).
#ifndef UBUS_STANDIN_SHARE_WIRE_H
#define UBUS_STANDIN_SHARE_WIRE_H

#include <string>
#include <vector>

namespace ubus_standin {

using Texts = std::vector<std::string>;

// The bus socket a connection names (the default one for NULL) and the folder in which every
// process on that bus has its own socket, named by its process id.
std::string BusPath(const char* path);
std::string PeerDir(const std::string& bus_path);

bool WriteTexts(int fd, const Texts& texts);
bool ReadTexts(int fd, Texts* texts);

// Connects to a Unix stream socket; -1 on failure.
int ConnectTo(const std::string& path);

// Sends a request to the process behind a socket and reads its answer.
bool Ask(const std::string& socket_path, const Texts& request, Texts* answer);

// The sockets of every process on the bus but this one.
std::vector<std::string> Peers(const std::string& bus_path);

}  // namespace ubus_standin

#endif
