#pragma once
// Downloads over HTTP(S) with libcurl.

#include <string>

// The body that one GET of `url` returns, whole, in memory. Redirects are followed (at
// most 10, to http and https addresses only); the usual proxy variables are honoured.
// Empty on any failure: no connection within 30 seconds, a server that stalls (less
// than one byte a second for 60 seconds, also while the answer is awaited), an HTTP
// status of 400 or above, a body cut short, an address of another scheme. Safe to call
// from any thread; it blocks the calling thread until the transfer ends.
std::string http_get(const std::string& url);
