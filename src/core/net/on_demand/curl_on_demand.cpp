// libcurl for the window, mapped on the first call instead of at start.
//
// The window fetches nothing before its first check, yet linking libcurl maps it and the two dozen
// libraries it pulls in (TLS, SSH, IDN, LDAP, …) at start: several MiB of a small window's
// memory, paid even when it only sits in the tray. So the window links these definitions of the
// calls our network layer makes instead; the first call opens the real library with dlopen and
// every call forwards to it. zepa2-check links libcurl itself: it always fetches at once.
// A library that cannot be opened behaves like one that is out of memory: no handle is made, and
// every transfer fails with libcurl's own "failed init" reason.

// The forwarders take the variadic calls as they are; the header's type-checking macros would
// rename them.
#define CURL_DISABLE_TYPECHECK 1
#include <curl/curl.h>
#include <dlfcn.h>

#include <cstdarg>

#include "core/net/on_demand/library_calls.h"

namespace {

using zepa2::on_demand::Find;

struct CurlCalls {
  CURLcode (*global_init)(long);
  CURL* (*easy_init)();
  void (*easy_cleanup)(CURL*);
  CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
  CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
  const char* (*easy_strerror)(CURLcode);
  void (*free)(void*);
  curl_slist* (*slist_append)(curl_slist*, const char*);
  void (*slist_free_all)(curl_slist*);
  CURLU* (*url)();
  void (*url_cleanup)(CURLU*);
  CURLUcode (*url_get)(CURLU*, CURLUPart, char**, unsigned int);
  CURLUcode (*url_set)(CURLU*, CURLUPart, const char*, unsigned int);
  CURLM* (*multi_init)();
  CURLMcode (*multi_cleanup)(CURLM*);
  CURLMcode (*multi_add_handle)(CURLM*, CURL*);
  CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
  CURLMcode (*multi_perform)(CURLM*, int*);
  CURLMcode (*multi_poll)(CURLM*, curl_waitfd[], unsigned int, int, int*);
  CURLMsg* (*multi_info_read)(CURLM*, int*);
};

CurlCalls Open() {
  CurlCalls c{};
  // Never closed: libcurl keeps threads and global state that must outlive every handle.
  void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!library) return c;
  const bool complete =
      Find(library, "curl_global_init", c.global_init) && Find(library, "curl_easy_init", c.easy_init) &&
      Find(library, "curl_easy_cleanup", c.easy_cleanup) &&
      Find(library, "curl_easy_setopt", c.easy_setopt) &&
      Find(library, "curl_easy_getinfo", c.easy_getinfo) &&
      Find(library, "curl_easy_strerror", c.easy_strerror) && Find(library, "curl_free", c.free) &&
      Find(library, "curl_slist_append", c.slist_append) &&
      Find(library, "curl_slist_free_all", c.slist_free_all) && Find(library, "curl_url", c.url) &&
      Find(library, "curl_url_cleanup", c.url_cleanup) && Find(library, "curl_url_get", c.url_get) &&
      Find(library, "curl_url_set", c.url_set) && Find(library, "curl_multi_init", c.multi_init) &&
      Find(library, "curl_multi_cleanup", c.multi_cleanup) &&
      Find(library, "curl_multi_add_handle", c.multi_add_handle) &&
      Find(library, "curl_multi_remove_handle", c.multi_remove_handle) &&
      Find(library, "curl_multi_perform", c.multi_perform) &&
      Find(library, "curl_multi_poll", c.multi_poll) &&
      Find(library, "curl_multi_info_read", c.multi_info_read);
  // A library missing a call we make is not the one we were built for: use none of it.
  return complete ? c : CurlCalls{};
}

const CurlCalls& Curl() {
  static const CurlCalls calls = Open();  // thread-safe, once
  return calls;
}

bool Loaded() { return Curl().easy_init != nullptr; }

}  // namespace

// Every call below is only reached with a handle the loaded library made, except the first ones
// of a run (global init, easy init, url, slist append, strerror), which check for the library.
extern "C" {

CURLcode curl_global_init(long flags) { return Loaded() ? Curl().global_init(flags) : CURLE_FAILED_INIT; }
CURL* curl_easy_init() { return Loaded() ? Curl().easy_init() : nullptr; }
void curl_easy_cleanup(CURL* handle) { Curl().easy_cleanup(handle); }

// libcurl reads the one argument after the option by the type the option's number range names.
CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
  va_list args;
  va_start(args, option);
  CURLcode code;
  if (option < CURLOPTTYPE_OBJECTPOINT) {
    code = Curl().easy_setopt(handle, option, va_arg(args, long));
  } else if (option < CURLOPTTYPE_FUNCTIONPOINT) {
    code = Curl().easy_setopt(handle, option, va_arg(args, void*));
  } else if (option < CURLOPTTYPE_OFF_T) {
    code = Curl().easy_setopt(handle, option, va_arg(args, void (*)()));
  } else if (option < CURLOPTTYPE_BLOB) {
    code = Curl().easy_setopt(handle, option, va_arg(args, curl_off_t));
  } else {
    code = Curl().easy_setopt(handle, option, va_arg(args, void*));
  }
  va_end(args);
  return code;
}

CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) {
  va_list args;
  va_start(args, info);
  void* answer = va_arg(args, void*);  // always where to put the answer
  va_end(args);
  return Curl().easy_getinfo(handle, info, answer);
}

const char* curl_easy_strerror(CURLcode code) {
  return Loaded() ? Curl().easy_strerror(code) : "libcurl (libcurl.so.4) could not be loaded";
}
void curl_free(void* p) {
  if (p) Curl().free(p);
}
curl_slist* curl_slist_append(curl_slist* list, const char* line) {
  return Loaded() ? Curl().slist_append(list, line) : nullptr;
}
void curl_slist_free_all(curl_slist* list) {
  if (list) Curl().slist_free_all(list);
}
CURLU* curl_url() { return Loaded() ? Curl().url() : nullptr; }
void curl_url_cleanup(CURLU* url) {
  if (url) Curl().url_cleanup(url);
}
CURLUcode curl_url_get(CURLU* url, CURLUPart part, char** out, unsigned int flags) {
  return Curl().url_get(url, part, out, flags);
}
CURLUcode curl_url_set(CURLU* url, CURLUPart part, const char* text, unsigned int flags) {
  return Curl().url_set(url, part, text, flags);
}
CURLM* curl_multi_init() { return Loaded() ? Curl().multi_init() : nullptr; }
CURLMcode curl_multi_cleanup(CURLM* multi) { return Curl().multi_cleanup(multi); }
CURLMcode curl_multi_add_handle(CURLM* multi, CURL* handle) { return Curl().multi_add_handle(multi, handle); }
CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* handle) {
  return Curl().multi_remove_handle(multi, handle);
}
CURLMcode curl_multi_perform(CURLM* multi, int* running) { return Curl().multi_perform(multi, running); }
CURLMcode curl_multi_poll(CURLM* multi, curl_waitfd extra[], unsigned int count, int timeoutMs, int* ready) {
  return Curl().multi_poll(multi, extra, count, timeoutMs, ready);
}
CURLMsg* curl_multi_info_read(CURLM* multi, int* queued) { return Curl().multi_info_read(multi, queued); }

}  // extern "C"
