#include "core/settings/notify_fields.h"

#include "core/net/server_address.h"
#include "core/net/server_key.h"
#include "core/settings/unsafe_fields.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"
#include "core/text/notify_messages.h"

namespace zepa2 {
namespace {

std::string Label(const char* group, const char* field) {
  return FillMessage(msg::kNotifyFieldFormat, group, field);
}

// A plain address as a mail server takes it in MAIL FROM and RCPT TO: one '@' with text either side,
// and nothing that would end the command or the angle brackets around it.
bool IsMailAddress(std::string_view address) {
  const std::size_t at = address.find('@');
  if (at == 0 || at == std::string_view::npos || at + 1 == address.size() ||
      address.find('@', at + 1) != std::string_view::npos)
    return false;
  for (unsigned char c : address)
    if (c <= 0x20 || c >= 0x7F || c == '<' || c == '>' || c == ',' || c == '"' || c == '\\') return false;
  return true;
}

std::optional<std::string> AddressProblem(std::string_view list, const char* label) {
  for (const std::string& address : MailAddresses(list))
    if (!IsMailAddress(address))
      return FillMessage(msg::kNotifyBadMailAddress, Label(msg::kNotifyMailGroup, label), address);
  return std::nullopt;
}

std::optional<std::string> UrlProblem(const std::string& url, const char* group, const char* label) {
  if (url.empty() || net::IsWebUrl(url)) return std::nullopt;
  return FillMessage(msg::kNotifyBadUrl, Label(group, label));
}

std::optional<std::string> PinProblem(const std::string& pin, const char* group) {
  if (pin.empty() || net::IsPinText(pin)) return std::nullopt;
  return FillMessage(msg::kConfigBadPin, group);
}

}  // namespace

std::vector<std::string> MailAddresses(std::string_view list) {
  std::vector<std::string> addresses;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (!item.empty()) addresses.emplace_back(item);
  }
  return addresses;
}

std::optional<std::string> NotifyFieldProblem(const NotifyChannels& n) {
  if (!n.mailServer.empty() && !net::ParseMailServer(n.mailServer))
    return FillMessage(msg::kNotifyBadMailServer, Label(msg::kNotifyMailGroup, msg::kNotifyMailServerLabel));
  if (const char* field = FirstUnsafeField(
          {{msg::kNotifyMailUserLabel, n.mailUser}, {msg::kNotifyMailPassLabel, n.mailPass}}))
    return FillMessage(msg::kUnsafeFieldInDialog, Label(msg::kNotifyMailGroup, field));
  if (!n.mailFrom.empty() && MailAddresses(n.mailFrom).size() != 1)
    return FillMessage(msg::kNotifyBadMailAddress, Label(msg::kNotifyMailGroup, msg::kNotifyMailFromLabel),
                       n.mailFrom);
  for (const auto& [list, label] :
       {std::pair{&n.mailFrom, msg::kNotifyMailFromLabel}, std::pair{&n.mailTo, msg::kNotifyMailToLabel}})
    if (auto problem = AddressProblem(*list, label)) return problem;
  if (auto problem = PinProblem(n.mailPin, msg::kNotifyMailGroup)) return problem;
  if (auto problem = UrlProblem(n.webhookUrl, msg::kNotifyWebhookGroup, msg::kNotifyWebhookUrlLabel))
    return problem;
  if (auto problem = PinProblem(n.webhookPin, msg::kNotifyWebhookGroup)) return problem;
  return UrlProblem(n.pingUrl, msg::kNotifyPingGroup, msg::kNotifyPingUrlLabel);
}

}  // namespace zepa2
