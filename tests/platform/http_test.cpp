#include "platform/http.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/support/canned_http_server.h"
#include "tests/support/test_env.h"

namespace {

using test_env::CannedHttpServer;
using test_env::ok_response;
using test_env::redirect_to;

// Loopback requests must never go through a proxy from the environment.
class Http : public ::testing::Test {
 protected:
  test_env::ScopedEnvironmentVariable no_proxy_{"no_proxy", "*"};
  test_env::ScopedEnvironmentVariable no_proxy_upper_{"NO_PROXY", "*"};
};

}  // namespace

TEST_F(Http, WholeBodyArrivesAndRedirectsAreFollowed) {
  std::string installer("MZ\0\x01", 4);
  for (int i = 0; i < 300000; ++i) installer.push_back(static_cast<char>(i * 31 % 256));
  CannedHttpServer server({
      {"/video_setup.exe", ok_response(installer)},
      {"/moved", redirect_to("/video_setup.exe")},
      {"/no_length",
       "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nbody until the connection closes"},
  });
  ASSERT_TRUE(server.running());
  EXPECT_EQ(http_get(server.url("/video_setup.exe")), installer);
  EXPECT_EQ(http_get(server.url("/moved")), installer);
  EXPECT_EQ(http_get(server.url("/no_length")), "body until the connection closes");
}

TEST_F(Http, EveryFailureGivesAnEmptyBody) {
  CannedHttpServer server({
      {"/error", "HTTP/1.1 500 Internal Server Error\r\nContent-Length: 4\r\nConnection: close\r\n\r\noops"},
      {"/gone", "HTTP/1.1 410 Gone\r\nContent-Length: 4\r\nConnection: close\r\n\r\ngone"},
      {"/cut", "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\nonly this"},
      {"/loop", redirect_to("/loop")},
      {"/to_file", redirect_to("file:///etc/hostname")},
      {"/to_missing", redirect_to("/missing")},
      {"/garbage", "this is no HTTP answer\r\n\r\n"},
  });
  ASSERT_TRUE(server.running());
  for (const char* path : {"/missing", "/error", "/gone", "/cut", "/loop", "/to_file", "/to_missing", "/garbage"}) {
    EXPECT_EQ(http_get(server.url(path)), "") << path;
  }
  EXPECT_EQ(http_get(""), "");
  EXPECT_EQ(http_get("file:///etc/hostname"), "");
  EXPECT_EQ(http_get("not an address"), "");
}

TEST_F(Http, RefusedConnectionGivesAnEmptyBody) {
  // A port that was just free on the loopback address: nothing listens there.
  int port = 0;
  {
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length), 0);
    port = ntohs(address.sin_port);
    ::close(probe);
  }
  EXPECT_EQ(http_get("http://127.0.0.1:" + std::to_string(port) + "/video_setup.exe"), "");
}

TEST_F(Http, SeveralThreadsDownloadAtOnce) {
  CannedHttpServer server({{"/a", ok_response("first")}, {"/b", ok_response("second")}});
  ASSERT_TRUE(server.running());
  std::vector<std::string> bodies(8);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < bodies.size(); ++i) {
    threads.emplace_back([&, i] { bodies[i] = http_get(server.url(i % 2 ? "/b" : "/a")); });
  }
  for (auto& t : threads) t.join();
  for (size_t i = 0; i < bodies.size(); ++i) EXPECT_EQ(bodies[i], i % 2 ? "second" : "first") << i;
  EXPECT_EQ(server.requests(), 8);
}
