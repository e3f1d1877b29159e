#include "core/notify/mail_message.h"

#include <random>

#include "core/text/encoded_word.h"

namespace zepa2 {
namespace {

constexpr const char* kCrLf = "\r\n";
constexpr std::size_t kBase64LineChars = 76;

// RFC 5322's date: English day and month names whatever the locale, "Fri, 11 Dec 2026 09:12:00 +0900".
std::string MailDate(std::time_t when) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  localtime_r(&when, &local);
  char zone[8];
  std::strftime(zone, sizeof zone, "%z", &local);
  char text[64];
  std::snprintf(text, sizeof text, "%s, %d %s %d %02d:%02d:%02d %s", kDays[local.tm_wday], local.tm_mday,
                kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, zone);
  return text;
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += kCrLf;
    else if (c != '\r') out += c;
  }
  return out;
}

}  // namespace

std::string MimeMessage(const MailFacts& facts) {
  std::string to;
  for (const std::string& address : facts.to) to += (to.empty() ? "" : ", ") + address;
  std::string message;
  const auto header = [&message](const char* name, const std::string& value) {
    (((message += name) += ": ") += value) += kCrLf;
  };
  header("Date", MailDate(facts.when));
  header("From", "ZEPA2 <" + facts.from + ">");
  header("To", to);
  header("Subject", EncodedWords(facts.subject, "\r\n "));
  header("Message-ID", facts.messageId);
  header("MIME-Version", "1.0");
  header("Content-Type", "text/plain; charset=UTF-8");
  header("Content-Transfer-Encoding", "base64");
  message += kCrLf;
  const std::string body = Base64(WithCrLf(facts.body) + kCrLf);
  for (std::size_t at = 0; at < body.size(); at += kBase64LineChars)
    (message += body.substr(at, kBase64LineChars)) += kCrLf;
  return message;
}

std::string NewMessageId(const std::string& from, std::time_t when) {
  std::random_device random;
  char token[40];
  std::snprintf(token, sizeof token, "%08x%08x.%lld", random(), random(), static_cast<long long>(when));
  const std::size_t at = from.rfind('@');
  return std::string("<") + token + "@" + (at == std::string::npos ? "zepa2.invalid" : from.substr(at + 1)) +
         ">";
}

}  // namespace zepa2
