#include "hacq_test/private_network.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace hacq_test {
namespace {

std::string Failure(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// Old-style alias "lo:N" for 127.0.0.N: Aravis lists it as an interface
// of its own, so a fake camera there is discovered.
bool AddAddress(int socket_fd, int n) {
  ifreq request{};
  std::snprintf(request.ifr_name, sizeof request.ifr_name, "lo:%d", n);
  auto* address = reinterpret_cast<sockaddr_in*>(&request.ifr_addr);
  address->sin_family = AF_INET;
  address->sin_addr.s_addr = htonl((127u << 24) | static_cast<uint32_t>(n));
  return ioctl(socket_fd, SIOCSIFADDR, &request) == 0;
}

}  // namespace

std::string EnterPrivateNetwork(int addresses) {
  if (unshare(CLONE_NEWNET) != 0) return Failure("unshare(CLONE_NEWNET)");
  const int socket_fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (socket_fd < 0) return Failure("socket");
  ifreq request{};
  std::snprintf(request.ifr_name, sizeof request.ifr_name, "lo");
  std::string failure;
  if (ioctl(socket_fd, SIOCGIFFLAGS, &request) != 0) {
    failure = Failure("reading the flags of lo");
  } else {
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP | IFF_RUNNING);
    if (ioctl(socket_fd, SIOCSIFFLAGS, &request) != 0) failure = Failure("bringing lo up");
  }
  for (int n = 2; failure.empty() && n <= addresses; ++n)
    if (!AddAddress(socket_fd, n)) failure = Failure("adding an address to lo");
  close(socket_fd);
  return failure;
}

}  // namespace hacq_test
