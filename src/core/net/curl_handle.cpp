#include "core/net/curl_handle.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace zepa2::net {
namespace {

// The sockets libcurl opened for one handle and has not closed yet. A socket leaves the list
// before it is closed, under the lock a cut takes, so a cut never reaches a number reused since.
// Sockets of an active FTP data connection come from accept() and are not listed: that mode
// carries no TLS handshake.
class HandleSockets {
 public:
  void Add(curl_socket_t socket) {
    std::lock_guard lock(mutex_);
    open_.push_back(socket);
  }
  int Close(curl_socket_t socket) {
    std::lock_guard lock(mutex_);
    open_.erase(std::remove(open_.begin(), open_.end(), socket), open_.end());
    return ::close(socket);
  }
  void CutAll() {
    std::lock_guard lock(mutex_);
    for (const curl_socket_t socket : open_) ::shutdown(socket, SHUT_RDWR);
  }

 private:
  std::mutex mutex_;
  std::vector<curl_socket_t> open_;
};

// What a handle of ours carries in its private pointer, which nothing else of ours uses.
struct HandleExtras {
  CURLM* multi = nullptr;
  HandleSockets sockets;
};

HandleExtras* ExtrasOf(CURL* handle) {
  char* extras = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_PRIVATE, &extras) != CURLE_OK) return nullptr;
  return reinterpret_cast<HandleExtras*>(extras);
}

curl_socket_t OpenSocket(void* sockets, curlsocktype, curl_sockaddr* address) {
  const curl_socket_t socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
  if (socket != CURL_SOCKET_BAD) static_cast<HandleSockets*>(sockets)->Add(socket);
  return socket;
}

int CloseSocket(void* sockets, curl_socket_t socket) {
  return static_cast<HandleSockets*>(sockets)->Close(socket);
}

}  // namespace

void EnsureCurlGlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CURLM* MultiOf(CURL* handle) {
  const HandleExtras* extras = ExtrasOf(handle);
  return extras ? extras->multi : nullptr;
}

void CutSocketsOf(CURL* handle) {
  if (HandleExtras* extras = ExtrasOf(handle)) extras->sockets.CutAll();
}

void CurlEasyDeleter::operator()(CURL* h) const {
  const std::unique_ptr<HandleExtras> extras(ExtrasOf(h));
  curl_easy_cleanup(h);
  // The multi closes the connection it kept through the handle's socket callbacks: the list goes last.
  if (extras && extras->multi) curl_multi_cleanup(extras->multi);
}

CurlEasy MakeEasyHandle() {
  EnsureCurlGlobalInit();
  CurlEasy h(curl_easy_init());
  if (h) {
    auto owned = std::make_unique<HandleExtras>();
    owned->multi = curl_multi_init();
    HandleExtras* extras = owned.release();  // freed by CurlEasyDeleter
    curl_easy_setopt(h.get(), CURLOPT_PRIVATE, extras);
    curl_easy_setopt(h.get(), CURLOPT_OPENSOCKETFUNCTION, &OpenSocket);
    curl_easy_setopt(h.get(), CURLOPT_OPENSOCKETDATA, &extras->sockets);
    curl_easy_setopt(h.get(), CURLOPT_CLOSESOCKETFUNCTION, &CloseSocket);
    curl_easy_setopt(h.get(), CURLOPT_CLOSESOCKETDATA, &extras->sockets);
    curl_easy_setopt(h.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h.get(), CURLOPT_PROXY, "");  // ignore http_proxy & co. of the environment
  }
  return h;
}

void AppendTo(CurlSlist& list, const char* line) {
  curl_slist* grown = curl_slist_append(list.get(), line);
  if (grown) {
    list.release();
    list.reset(grown);
  }
}

}  // namespace zepa2::net
