#include "core/notify/mail.h"

#include "core/net/smtp_send.h"
#include "core/notify/mail_message.h"
#include "core/settings/notify_fields.h"
#include "core/settings/secret_reference.h"
#include "core/text/cp932.h"
#include "core/text/fill_message.h"
#include "core/text/notify_messages.h"

namespace zepa2 {

void SendMailNotice(const NotifyChannels& channels, const CheckNotice& notice, std::time_t when,
                    const NoticeLog& log, const NoticeLimits& limits) {
  if (channels.mailServer.empty()) return;
  const auto fail = [&log](const std::string& why) { log(Cp932(msg::kMailFailed) + why, log_color::kRed); };
  net::SmtpRequest request;
  request.to = MailAddresses(channels.mailTo);
  if (channels.mailFrom.empty() || request.to.empty()) return fail(Cp932(msg::kNotifyNoRecipient));
  if (channels.unreadableMailPin) return fail(Cp932(msg::kNotifyKeyRefused));
  const std::optional<net::MailServer> server = net::ParseMailServer(channels.mailServer);
  if (!server) return fail(Cp932(FillMessage(msg::kNotifyBadMailServer, msg::kNotifyMailServerLabel)));
  constexpr const char* kPassKey = "NOTIFY.MailPass";
  const ResolvedSecret password =
      channels.mailUser.empty() ? ResolvedSecret{"", {}} : ResolveSecret(channels.mailPass, kPassKey);
  if (!password.secret) return fail(UnresolvedSecretLogLine(kPassKey, channels.mailPass, password.problem));

  request.server = *server;
  request.requireStartTls = channels.mailTls;
  request.user = channels.mailUser;
  request.password = *password.secret;
  request.pin = channels.mailPin;
  request.from = channels.mailFrom;
  const auto start = std::chrono::steady_clock::now();
  request.limits = {limits.stop, start + limits.deadline};
  const MailFacts facts{channels.mailFrom,        request.to, Cp932ToUtf8(notice.title),
                        Cp932ToUtf8(notice.body), when,       NewMessageId(channels.mailFrom, when)};
  const net::Outcome sent = net::SendMailMessage(request, MimeMessage(facts));
  if (sent.done()) return log(Cp932(msg::kMailSent), log_color::kBlack);
  fail(NoticeFailureReason(start, limits, sent));
}

}  // namespace zepa2
