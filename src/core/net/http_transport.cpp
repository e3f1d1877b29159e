#include "core/net/http_transport.h"

#include <cstdio>

#include "core/net/server_key.h"

namespace zepa2::net {
namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  text.remove_prefix(text.size() - suffix.size());
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] + 32) : text[i];
    if (c != suffix[i]) return false;
  }
  return true;
}

bool IsLogInRefusal(long status) { return status == 401 || status == 403 || status == 407; }

}  // namespace

HttpTransport::HttpTransport(CurlEasy handle, const std::string& hostRoot, TransferLimits limits,
                             const SiteLogin& login)
    : Transport(std::move(handle), hostRoot + "/", limits, login), hostRoot_(hostRoot) {
  CURL* h = this->handle();
  curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  PinTlsKey(h, login.pin);
  SendNothingOnClose();
}

Outcome HttpTransport::LogIn() {
  // Names in URLs are UTF-8, escaped.
  if (!loggedIn()) TakeLogIn(true);
  return Done();
}

std::string HttpTransport::UrlFor(const std::string& wireName) const {
  return FtpUrlFor(hostRoot_, wireName.starts_with('/') ? wireName : "/" + wireName);
}

size_t HttpTransport::OnBody(char* data, size_t size, size_t count, void* answer) {
  std::string& body = static_cast<Answer*>(answer)->body;
  if (body.size() + size * count > kMaxListingBytes) return 0;  // aborts the transfer
  body.append(data, size * count);
  return size * count;
}

size_t HttpTransport::OnHeader(char* data, size_t size, size_t count, void* answer) {
  std::string_view line(data, size * count);
  // "100 Continue" and the like are no answer to the request.
  const std::size_t space = line.find(' ');
  const bool interim = space != std::string_view::npos && space + 1 < line.size() && line[space + 1] == '1';
  if (line.starts_with("HTTP/") && !interim) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    auto& self = *static_cast<Answer*>(answer);
    self.statusLine = std::string(line);
    // A refusal that asked for credentials is followed by the answer to the request that carried
    // them: only the last answer's body is the one to read.
    self.body.clear();
  }
  return size * count;
}

CURLcode HttpTransport::Send(const std::string& url, const char* method,
                             const std::vector<std::string>& headers, const std::string* body) {
  answer_ = {};
  CurlSlist lines;
  for (const std::string& line : standingHeaders_) AppendTo(lines, line.c_str());
  for (const std::string& line : headers) AppendTo(lines, line.c_str());
  // No "Expect:" line to keep libcurl from asking for a "100 Continue": libcurl 7.88 would sign
  // it as an empty header it never sends, and it asks only for bodies of a megabyte or more.
  CURL* h = handle();
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, method);
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, lines.get());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &HttpTransport::OnBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &answer_);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &HttpTransport::OnHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &answer_);
  if (body) {
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body->c_str());
  }
  const CURLcode code = Perform();
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &answer_.status);
  if (answer_.status < 200) answer_.status = 0;  // an interim answer only: none came
  // The list and the answer's buffers die with this call; the handle must not point at them.
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, nullptr);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, nullptr);
  if (body) {
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, nullptr);
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);  // out of POST again
  }
  return code;
}

CURLcode HttpTransport::Refuse(CURLcode code, const char* why) const {
  std::snprintf(errors().text.data(), errors().text.size(), "%s", why);
  return code;
}

CURLcode HttpTransport::PerformStore(const std::string& wireName, curl_off_t size) {
  if (size < 0) return Refuse(CURLE_READ_ERROR, "the size of the local file cannot be read");
  curl_easy_setopt(handle(), CURLOPT_INFILESIZE_LARGE, size);
  std::vector<std::string> headers;
  if (EndsWithNoCase(wireName, ".html") || EndsWithNoCase(wireName, ".htm")) {
    headers.emplace_back("Content-Type: text/html; charset=Shift_JIS");
  }
  return Send(UrlFor(wireName), nullptr, headers);
}

std::string HttpTransport::RefusalReason() const {
  if (!answer_.statusLine.empty()) return answer_.statusLine;
  return "HTTP " + std::to_string(answer_.status);
}

Outcome HttpTransport::OutcomeOf(CURLcode code) const {
  const long status = answer_.status;
  if (code != CURLE_OK) {
    Outcome outcome = Transport::OutcomeOf(code);
    // Only an answer that took the credentials proves the log-in.
    outcome.loggedIn = status != 0 && !IsLogInRefusal(status);
    return outcome;
  }
  if (status >= 200 && status < 300) return Done();
  if (IsLogInRefusal(status)) return {OutcomeKind::ConnectFailed, RefusalReason(), false};
  return {OutcomeKind::TransferRefused, RefusalReason(), true};
}

}  // namespace zepa2::net
