// A listening socket on the loopback address that nobody should ever connect
// to: a document that points at it shows whether the converter reaches out to
// the network.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

class Tripwire {
 public:
  Tripwire() : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd_, 4) != 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("cannot listen on the loopback");
    }
    port_ = ntohs(address.sin_port);
  }
  ~Tripwire() { ::close(fd_); }
  Tripwire(const Tripwire&) = delete;
  Tripwire& operator=(const Tripwire&) = delete;

  std::string Url(const char* path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  bool Touched() const {
    const int connection = ::accept(fd_, nullptr, nullptr);
    if (connection < 0) return false;
    ::close(connection);
    return true;
  }

 private:
  int fd_;
  int port_ = 0;
};
