// RAII ownership of libcurl easy handles and header lists, and the one-time global set-up.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace zepa2::net {

// Calls curl_global_init once per process, before the first handle is made.
void EnsureCurlGlobalInit();

// Frees the handle and the multi handle its transfers run through (which may still hold its idle
// connection), in the order libcurl's own easy perform frees them.
struct CurlEasyDeleter {
  void operator()(CURL* h) const;
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;

struct CurlSlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
using CurlSlist = std::unique_ptr<curl_slist, CurlSlistDeleter>;

// A fresh easy handle with the settings every request of this program shares (no signals, so
// time-outs work on the UI thread; no proxy from the environment surprises for a LAN router).
// Each handle comes with a multi handle of its own (see PerformTransfer): one multi per handle,
// not per transfer, because the multi keeps the connection that the handle's next transfer reuses.
CurlEasy MakeEasyHandle();

// The multi handle MakeEasyHandle paired with handle, or null for a handle made elsewhere.
CURLM* MultiOf(CURL* handle);

// Shuts down every socket libcurl holds open for a handle MakeEasyHandle made, from any thread:
// the stop for a step libcurl runs blocking inside one call (FTP's TLS handshake after AUTH TLS),
// which hears nothing else. The transfer then fails at once; the sockets are closed by libcurl.
void CutSocketsOf(CURL* handle);

// Appends one line to a header or command list, keeping ownership in the wrapper.
void AppendTo(CurlSlist& list, const char* line);

}  // namespace zepa2::net
