// A notice sent by mail to the recipients of the settings.
#pragma once

#include <ctime>

#include "core/notify/notice_http.h"
#include "core/outcome/check_notice.h"
#include "core/settings/app_settings.h"

namespace zepa2 {

// Mails the notice when a mail server is set: the password (or its reference) resolved only now,
// STARTTLS required unless MailTls is 0, TLS verified or pinned. Logs how it went; a password never
// reaches the log.
void SendMailNotice(const NotifyChannels& channels, const CheckNotice& notice, std::time_t when,
                    const NoticeLog& log, const NoticeLimits& limits);

}  // namespace zepa2
