#include "core/net/smtp_send.h"

#include <algorithm>
#include <cstring>

#include "core/net/curl_handle.h"
#include "core/net/perform_transfer.h"
#include "core/net/server_key.h"

namespace zepa2::net {
namespace {

constexpr long kConnectMilliseconds = 10'000;

struct Reader {
  const std::string& message;
  std::size_t sent = 0;
};

std::size_t OnReadMessage(char* buffer, std::size_t size, std::size_t count, void* user) {
  auto& reader = *static_cast<Reader*>(user);
  const std::size_t bytes = std::min(size * count, reader.message.size() - reader.sent);
  std::memcpy(buffer, reader.message.data() + reader.sent, bytes);
  reader.sent += bytes;
  return bytes;
}

OutcomeKind KindOf(CURLcode code, const TransferLimits& limits) {
  if (code == CURLE_OK) return OutcomeKind::Done;
  if (limits.stopRequested()) return OutcomeKind::Cancelled;
  if (code == CURLE_OPERATION_TIMEDOUT || limits.deadlinePassed()) return OutcomeKind::TimedOut;
  return OutcomeKind::ConnectFailed;
}

}  // namespace

Outcome SendMailMessage(const SmtpRequest& request, const std::string& message) {
  Outcome outcome;
  CurlEasy curl = MakeEasyHandle();
  if (!curl) return outcome;
  CURL* h = curl.get();
  const bool tls = request.server.implicitTls;
  const std::string url = std::string(tls ? "smtps://" : "smtp://") + request.server.address.host + ":" +
                          std::to_string(request.server.address.port);
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, tls ? "smtps" : "smtp");
  if (!tls)
    curl_easy_setopt(h, CURLOPT_USE_SSL,
                     static_cast<long>(request.requireStartTls ? CURLUSESSL_ALL : CURLUSESSL_NONE));
  PinTlsKey(h, request.pin);

  const std::string from = "<" + request.from + ">";
  curl_easy_setopt(h, CURLOPT_MAIL_FROM, from.c_str());
  CurlSlist recipients;
  for (const std::string& to : request.to) AppendTo(recipients, ("<" + to + ">").c_str());
  curl_easy_setopt(h, CURLOPT_MAIL_RCPT, recipients.get());
  if (!request.user.empty()) {
    curl_easy_setopt(h, CURLOPT_USERNAME, request.user.c_str());
    curl_easy_setopt(h, CURLOPT_PASSWORD, request.password.c_str());
  }

  Reader reader{message};
  curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(h, CURLOPT_READFUNCTION, &OnReadMessage);
  curl_easy_setopt(h, CURLOPT_READDATA, &reader);
  curl_easy_setopt(h, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
  const long remaining = request.limits.RemainingMilliseconds();
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, std::min(kConnectMilliseconds, remaining));
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, remaining);
  ApplyTransferLimits(h, &request.limits);
  CurlErrorBuffer errors;
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errors.text.data());

  const CURLcode code = PerformTransfer(h, request.limits);
  outcome.kind = KindOf(code, request.limits);
  if (code != CURLE_OK) outcome.reason = CurlReason(code, errors.text.data());
  outcome.key = KeyTroubleOf(code, !request.pin.empty());
  return outcome;
}

}  // namespace zepa2::net
