#ifndef WLAN_HOST_SANDBOX_H
#define WLAN_HOST_SANDBOX_H

#include <string>
#include <vector>

// The sandbox of the simulated device, shared by the tests, the demo and the measurement
// programs: private mount and network namespaces with fresh overlays over /etc, /usr/bin and
// /var, tmpfs on /tmp and /run, everything else read-only, the host stand-in programs in
// /usr/bin and a bridge br0 (192.0.2.1/24) that stands in for the AP's network. Nothing of the
// real machine is touched.
namespace sandbox {

// Enters the namespaces. Must run before any thread is started (the test main calls it). The
// directory named by the environment variable WLAN_SANDBOX_WRITABLE, if any, stays writable.
void Init(int argc, char** argv);

// Whether the sandbox is in place; when not, Why() says why and tests that need it skip.
bool Available();
const std::string& Why();

// Fresh overlays, /tmp and /run emptied, stand-ins installed again, ARP entries on br0 flushed.
void Reset();

std::string BuildDir();
std::string SourceDir();

constexpr const char* kBridge = "br0";

void WriteFile(const std::string& path, const std::string& content);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Runs a shell command line inside the sandbox; returns its exit status (-1 when it did not exit).
int Run(const std::string& command_line);
// Runs a command line and returns its standard output.
std::string Output(const std::string& command_line);

}  // namespace sandbox

#endif
