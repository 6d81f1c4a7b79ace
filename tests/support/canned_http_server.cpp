#include "tests/support/canned_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace test_env {

CannedHttpServer::CannedHttpServer(std::map<std::string, std::string> responses) : responses_(std::move(responses)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { serve(); });
}

CannedHttpServer::~CannedHttpServer() {
  stop_ = true;
  release();
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) ::close(listener_);
}

std::string CannedHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> CannedHttpServer::paths() const {
  std::lock_guard lock(mutex_);
  return paths_;
}

void CannedHttpServer::hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
}

void CannedHttpServer::release() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

void CannedHttpServer::serve() {
  while (!stop_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 50) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t n = ::read(connection, buffer, sizeof buffer);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    // "GET /path HTTP/1.1"
    const size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    {
      std::unique_lock lock(mutex_);
      paths_.push_back(path);
      ++requests_;
      released_.wait(lock, [this] { return !held_; });
    }
    const auto it = responses_.find(path);
    const std::string response =
        it != responses_.end() ? it->second : "HTTP/1.1 404 Not Found\r\nContent-Length: 3\r\nConnection: close\r\n\r\nno!";
    for (size_t sent = 0; sent < response.size();) {
      const ssize_t n = ::send(connection, response.data() + sent, response.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    ::shutdown(connection, SHUT_WR);
    while (::read(connection, buffer, sizeof buffer) > 0) {
    }
    ::close(connection);
  }
}

std::string ok_response(const std::string& body) {
  return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

std::string redirect_to(const std::string& location) {
  return "HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

}  // namespace test_env
