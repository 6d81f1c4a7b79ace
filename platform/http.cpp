#include "platform/http.h"

#include <curl/curl.h>

#include <mutex>
#include <new>

namespace {

size_t append_to_body(char* data, size_t size, size_t count, void* body) {
  try {
    static_cast<std::string*>(body)->append(data, size * count);
  } catch (const std::bad_alloc&) {
    return 0;  // ends the transfer as a failure
  }
  return size * count;
}

}  // namespace

std::string http_get(const std::string& url) {
  // libcurl's global set-up is not safe to run on two threads at once.
  static std::once_flag curl_ready;
  static bool curl_usable = false;
  std::call_once(curl_ready, [] { curl_usable = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  if (!curl_usable || url.empty()) return {};

  CURL* curl = curl_easy_init();
  if (!curl) return {};
  std::string body;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM: this runs on worker threads
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, append_to_body);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  const CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);
  if (result != CURLE_OK || status >= 400) return {};
  return body;
}
