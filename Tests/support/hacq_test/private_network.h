// A network of its own for a test program that runs Aravis: Aravis's
// discovery broadcasts on every network interface, so nothing that runs it
// may see the machine's own.
#pragma once

#include <string>

namespace hacq_test {

// Moves the process (every thread made from now on too) into a new network
// namespace whose only interface is loopback, up, with the addresses
// 127.0.0.1 to 127.0.0.`addresses`.  Call it before any thread starts.
// "" on success, otherwise why it could not be done (not root, unshare
// refused): the caller skips what needs Aravis and says so.
std::string EnterPrivateNetwork(int addresses = 1);

}  // namespace hacq_test
