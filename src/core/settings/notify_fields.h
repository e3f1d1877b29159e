// The rules the notice settings ([NOTIFY]) are held to, by the dialog and the configuration command.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/app_settings.h"

namespace zepa2 {

// The addresses of a comma-separated list, each without the spaces around it; empty items dropped.
std::vector<std::string> MailAddresses(std::string_view list);

// Why the settings would be refused (UTF-8, naming the field as the dialog labels it): a mail server
// that is no smtp:// or smtps:// server, a webhook or ping address that is no http(s) URL, a sender
// or recipient that is no mail address, a pin that is no pin, a line break in the log-in. Nothing
// when they would be accepted; empty fields always are.
std::optional<std::string> NotifyFieldProblem(const NotifyChannels& channels);

}  // namespace zepa2
