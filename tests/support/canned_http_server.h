#pragma once
// A tiny HTTP server on 127.0.0.1 for tests of downloads: it answers each request
// with the canned response of its path (a 404 for other paths) and closes the
// connection. It runs on its own thread until the object goes. Never anything but the
// loopback address.
//
// While held (hold()), accepted requests wait unanswered until release(), so a test
// can look at what happens during a download.

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_env {

class CannedHttpServer {
 public:
  explicit CannedHttpServer(std::map<std::string, std::string> responses);
  ~CannedHttpServer();
  CannedHttpServer(const CannedHttpServer&) = delete;
  CannedHttpServer& operator=(const CannedHttpServer&) = delete;

  // "http://127.0.0.1:<port>" followed by `path`.
  std::string url(const std::string& path = {}) const;
  bool running() const { return port_ != 0; }
  int requests() const { return requests_; }
  // The paths asked for, in order.
  std::vector<std::string> paths() const;

  void hold();
  void release();

 private:
  void serve();

  std::map<std::string, std::string> responses_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::vector<std::string> paths_;
  std::thread thread_;
};

// A "200 OK" response with `body`.
std::string ok_response(const std::string& body);

// A "302 Found" response to `location`.
std::string redirect_to(const std::string& location);

}  // namespace test_env
