#include "core/source/upnp_events.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

#include "core/net/server_address.h"
#include "core/source/ipv4_literal.h"
#include "core/source/upnp_address.h"
#include "core/sys/stop_token.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kConnectTimeout{2'000};
constexpr std::chrono::milliseconds kAnswerTimeout{5'000};
constexpr std::size_t kMaxMessageBytes = 64u << 10;  // an event is a few hundred bytes
constexpr std::size_t kMaxCallbacks = 8;             // open callback connections at once
// A subscription is renewed when half its time is gone, but never later than this before it
// ends, and no sooner than this after it began, however short a time the router granted.
constexpr std::chrono::milliseconds kShortestRenewal{500};
// "infinite" or no time at all: renewed as if the asked time had been granted.
constexpr std::chrono::seconds kRenewUnlimitedAfter = UpnpEvents::kAsked / 2;

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return text;
}

// The header block's lines after the first, split at the first colon.
struct Header {
  std::string_view name;
  std::string_view value;
};
std::vector<Header> Headers(std::string_view head) {
  std::vector<Header> headers;
  std::size_t from = head.find('\n');
  while (from != std::string_view::npos) {
    const std::size_t end = head.find('\n', from + 1);
    const std::string_view line = head.substr(from + 1, end == std::string_view::npos ? end : end - from - 1);
    from = end;
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos)
      headers.push_back({Trim(line.substr(0, colon)), Trim(line.substr(colon + 1))});
  }
  return headers;
}

std::string_view HeaderIn(const std::vector<Header>& headers, std::string_view name) {
  for (const Header& header : headers) {
    if (EqualsNoCase(header.name, name)) return header.value;
  }
  return {};
}

// A SID goes back to the router in a header line: printable bytes without spaces only.
bool IsPlainToken(std::string_view text) {
  return !text.empty() && text.size() < 256 &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return c > 0x20 && c < 0x7F; });
}

struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

using Clock = std::chrono::steady_clock;

// Waits in short slices, so that a stop request is seen; false at the deadline or on a stop.
bool WaitFor(int fd, short events, Clock::time_point deadline, const StopToken& stop) {
  for (;;) {
    if (stop.stopRequested()) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{fd, events, 0};
    if (poll(&ready, 1, static_cast<int>(std::min(left, kStopCheck).count())) > 0) return true;
  }
}

std::string NumericAddress(const sockaddr_in& address) {
  char text[INET_ADDRSTRLEN] = {};
  return inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) ? std::string(text) : std::string();
}

}  // namespace

SubscribeAnswer ReadSubscribeAnswer(std::string_view answer) {
  SubscribeAnswer read;
  const std::size_t headEnd = answer.find("\r\n\r\n");
  const std::string_view head = answer.substr(0, headEnd);
  if (head.size() < 12 || !(head.starts_with("HTTP/1.1 ") || head.starts_with("HTTP/1.0 "))) return read;
  int status = 0;
  if (std::from_chars(head.data() + 9, head.data() + 12, status).ec != std::errc()) return read;
  read.status = status;
  const std::vector<Header> headers = Headers(head);
  if (const std::string_view sid = HeaderIn(headers, "SID"); IsPlainToken(sid)) read.sid = std::string(sid);
  const std::string_view timeout = HeaderIn(headers, "TIMEOUT");
  if (timeout.size() > 7 && EqualsNoCase(timeout.substr(0, 7), "Second-")) {
    long long seconds = 0;
    const auto [end, problem] = std::from_chars(timeout.data() + 7, timeout.data() + timeout.size(), seconds);
    if (problem == std::errc() && end == timeout.data() + timeout.size() && seconds > 0) {
      read.granted = std::chrono::seconds(std::min<long long>(seconds, 7LL * 24 * 3600));
    }
  }
  return read;
}

std::optional<EventNotice> ReadEventNotice(std::string_view request) {
  const std::size_t headEnd = request.find("\r\n\r\n");
  if (headEnd == std::string_view::npos) return std::nullopt;
  const std::string_view head = request.substr(0, headEnd);
  const std::vector<Header> headers = Headers(head);
  std::size_t length = 0;
  const std::string_view lengthText = HeaderIn(headers, "Content-Length");
  std::from_chars(lengthText.data(), lengthText.data() + lengthText.size(), length);
  const std::string_view body = request.substr(headEnd + 4);
  if (body.size() < length) return std::nullopt;
  EventNotice notice;
  notice.isNotify = head.starts_with("NOTIFY ");
  notice.sid = std::string(HeaderIn(headers, "SID"));
  // The variable's element has no prefix in a property set; the value ends at the next tag.
  constexpr std::string_view kOpen = "<ExternalIPAddress>";
  if (const std::size_t at = body.find(kOpen); at != std::string_view::npos) {
    const std::size_t from = at + kOpen.size();
    notice.externalAddress = std::string(Trim(body.substr(from, body.find('<', from) - from)));
  }
  return notice;
}

// The exchange itself, on the side thread: blocking, but bounded, and cut short by a stop.
// A new subscription (sid empty) names the callback address on the interface that faces the
// router: the one this connection to it leaves by.
UpnpEvents::Exchange UpnpEvents::Subscribe(const std::string& igdUrl, std::string eventUrl,
                                           const std::string& sid, int callbackPort, const StopToken& stop) {
  Exchange done;
  if (eventUrl.empty()) {
    UpnpEventUrl found = FindUpnpEventUrl(igdUrl, {.stop = &stop});
    if (found.url.empty()) {
      done.reason = found.reason;
      return done;
    }
    eventUrl = std::move(found.url);
  }
  done.eventUrl = eventUrl;
  const std::string_view rest = std::string_view(eventUrl).substr(7);  // after "http://", checked
  const std::size_t slash = rest.find('/');
  const auto server = net::ParseServerAddress(rest.substr(0, slash), 80);
  const std::string path = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (!server ||
      getaddrinfo(server->host.c_str(), std::to_string(server->port).c_str(), &hints, &found) != 0) {
    done.reason = "UPnP: the event URL's host cannot be found";
    return done;
  }
  sockaddr_in router{};
  std::memcpy(&router, found->ai_addr, sizeof router);
  freeaddrinfo(found);
  done.routerAddress = NumericAddress(router);

  Fd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (socket.fd < 0) {
    done.reason = "UPnP: no socket for the subscription";
    return done;
  }
  const auto connectDeadline = Clock::now() + kConnectTimeout;
  const bool connecting =
      connect(socket.fd, reinterpret_cast<sockaddr*>(&router), sizeof router) == 0 || errno == EINPROGRESS;
  int error = connecting ? 0 : errno;
  if (connecting && !WaitFor(socket.fd, POLLOUT, connectDeadline, stop)) error = ETIMEDOUT;
  socklen_t size = sizeof error;
  if (error == 0) getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &size);
  if (error != 0) {
    done.reason = std::string("UPnP: no connection for the subscription (") + std::strerror(error) + ")";
    return done;
  }
  sockaddr_in local{};
  socklen_t localSize = sizeof local;
  getsockname(socket.fd, reinterpret_cast<sockaddr*>(&local), &localSize);

  std::string request =
      "SUBSCRIBE " + path + " HTTP/1.1\r\nHOST: " + std::string(rest.substr(0, slash)) + "\r\n";
  if (sid.empty()) {
    request += "CALLBACK: <http://" + NumericAddress(local) + ":" + std::to_string(callbackPort) +
               "/>\r\n"
               "NT: upnp:event\r\n";
  } else {
    request += "SID: " + sid + "\r\n";
  }
  request += "TIMEOUT: Second-" + std::to_string(kAsked.count()) + "\r\nContent-Length: 0\r\n\r\n";

  const auto deadline = Clock::now() + kAnswerTimeout;
  for (std::size_t sent = 0; sent < request.size();) {
    if (!WaitFor(socket.fd, POLLOUT, deadline, stop)) {
      done.reason = "UPnP: the subscription could not be sent";
      return done;
    }
    const ssize_t n = send(socket.fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      done.reason = "UPnP: the subscription could not be sent";
      return done;
    }
    if (n > 0) sent += static_cast<std::size_t>(n);
  }
  std::string answer;
  while (answer.find("\r\n\r\n") == std::string::npos && answer.size() < kMaxMessageBytes) {
    if (!WaitFor(socket.fd, POLLIN, deadline, stop)) break;
    char chunk[2048];
    const ssize_t n = recv(socket.fd, chunk, sizeof chunk, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) break;
    answer.append(chunk, static_cast<std::size_t>(n));
  }
  done.answer = ReadSubscribeAnswer(answer);
  if (done.answer.status == 0) done.reason = "UPnP: no answer to the subscription";
  return done;
}

UpnpEvents::UpnpEvents(std::string igdUrl) : igdUrl_(std::move(igdUrl)), nextSubscribe_(Clock::now()) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  sockaddr_in any{};
  any.sin_family = AF_INET;
  any.sin_addr.s_addr = htonl(INADDR_ANY);
  if (listener_ >= 0 &&
      (bind(listener_, reinterpret_cast<sockaddr*>(&any), sizeof any) != 0 || listen(listener_, 8) != 0)) {
    ::close(listener_);
    listener_ = -1;
  }
  done_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

UpnpEvents::~UpnpEvents() {
  stop_.RequestStop();
  if (exchange_.joinable()) exchange_.join();
  for (const Connection& connection : connections_) ::close(connection.fd);
  for (const int fd : {listener_, done_}) {
    if (fd >= 0) ::close(fd);
  }
}

std::vector<int> UpnpEvents::descriptors() const {
  std::vector<int> fds;
  for (const int fd : {listener_, done_}) {
    if (fd >= 0) fds.push_back(fd);
  }
  for (const Connection& connection : connections_) fds.push_back(connection.fd);
  return fds;
}

std::optional<UpnpEvents::Clock::time_point> UpnpEvents::nextDeadline() const {
  if (listener_ < 0) return std::nullopt;
  std::optional<Clock::time_point> next = nextSubscribe_;
  for (const Connection& connection : connections_)
    if (!next || connection.deadline < *next) next = connection.deadline;
  return next;
}

void UpnpEvents::StartExchange() {
  sockaddr_in bound{};
  socklen_t size = sizeof bound;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &size);
  nextSubscribe_.reset();
  exchange_ = std::thread([this, eventUrl = eventUrl_, sid = sid_, port = ntohs(bound.sin_port)] {
    Exchange done = Subscribe(igdUrl_, eventUrl, sid, port, stop_);
    {
      std::lock_guard lock(mutex_);
      finished_ = std::move(done);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(done_, &one, sizeof one);
  });
}

void UpnpEvents::FinishExchange(Clock::time_point now, Taken& taken) {
  std::optional<Exchange> done;
  {
    std::lock_guard lock(mutex_);
    done.swap(finished_);
  }
  if (!done) return;
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t n = read(done_, &count, sizeof count);
  exchange_.join();
  const bool renewal = !sid_.empty();
  if (done->answer.status == 200 && !done->answer.sid.empty()) {
    eventUrl_ = done->eventUrl;
    routerAddress_ = done->routerAddress;
    sid_ = done->answer.sid;
    refusalNoted_ = false;
    const auto granted = std::chrono::duration_cast<std::chrono::milliseconds>(done->answer.granted);
    const auto renewIn = granted.count() > 0 ? std::max(granted / 2, std::min(kShortestRenewal, granted))
                                             : std::chrono::milliseconds(kRenewUnlimitedAfter);
    nextSubscribe_ = now + renewIn;
    return;
  }
  sid_.clear();
  if (renewal) {
    // The router forgot the subscription (it restarted, or let it lapse): one new one at once.
    nextSubscribe_ = now;
    return;
  }
  // Refused or not reachable: asked again once in the time a subscription would have lasted.
  nextSubscribe_ = now + kAsked;
  if (refusalNoted_) return;
  refusalNoted_ = true;
  std::string reason = done->reason;
  if (reason.empty()) reason = "UPnP: SUBSCRIBE answered HTTP " + std::to_string(done->answer.status);
  taken.notes.push_back(msg::kUpnpSubscriptionRefused + reason);
}

// Only the router may call back: a connection from any other host is closed unread. When every
// slot is taken, the oldest connection gives its slot up: a new message from the router counts for
// more than one that stalled.
void UpnpEvents::AcceptCallbacks(Clock::time_point now) {
  for (;;) {
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    const int fd =
        accept4(listener_, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    if (routerAddress_.empty() || NumericAddress(peer) != routerAddress_) {
      ::close(fd);
      continue;
    }
    if (connections_.size() >= kMaxCallbacks) CloseCallback(connections_.begin());
    connections_.push_back({fd, {}, now + kMessageDeadline});
  }
}

void UpnpEvents::CloseCallback(std::vector<Connection>::iterator connection) {
  ::close(connection->fd);
  connections_.erase(connection);
}

void UpnpEvents::ReadCallbacks(Clock::time_point now, Taken& taken) {
  for (auto it = connections_.begin(); it != connections_.end();) {
    bool closed = false;
    for (;;) {
      char chunk[2048];
      const ssize_t n = recv(it->fd, chunk, sizeof chunk, MSG_DONTWAIT);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) break;
      if (n == 0) {
        closed = true;
        break;
      }
      it->received.append(chunk, static_cast<std::size_t>(n));
      if (it->received.size() > kMaxMessageBytes) {
        closed = true;
        break;
      }
    }
    const std::optional<EventNotice> notice = closed ? std::nullopt : ReadEventNotice(it->received);
    if (notice) {
      const bool ours = notice->isNotify && !sid_.empty() && notice->sid == sid_;
      const char* answer =
          ours ? "HTTP/1.1 200 OK\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"
               : "HTTP/1.1 412 Precondition Failed\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
      [[maybe_unused]] const ssize_t n =
          send(it->fd, answer, std::strlen(answer), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (ours && !notice->externalAddress.empty()) {
        if (auto address = Ipv4Literal(notice->externalAddress))
          taken.addresses.push_back(std::move(*address));
      }
    }
    if (closed || notice || now >= it->deadline) {
      const auto at = it - connections_.begin();
      CloseCallback(it);
      it = connections_.begin() + at;
    } else {
      ++it;
    }
  }
}

UpnpEvents::Taken UpnpEvents::Take(Clock::time_point now) {
  Taken taken;
  if (listener_ < 0) return taken;
  FinishExchange(now, taken);
  AcceptCallbacks(now);
  ReadCallbacks(now, taken);
  if (nextSubscribe_ && now >= *nextSubscribe_) StartExchange();
  return taken;
}

}  // namespace zepa2
