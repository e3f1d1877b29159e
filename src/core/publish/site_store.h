// The one way a file reaches a site: connect over the site's transport, store, pause, close.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "core/net/transport.h"
#include "core/settings/app_settings.h"
#include "core/sys/pause.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

// Everything one site may take: connecting, logging in, storing, the pause and QUIT.
inline constexpr std::chrono::seconds kSiteDeadline{60};
// A fixed wait after a stored file, while the connection is still open.
inline constexpr std::chrono::milliseconds kPauseBeforeClosing{1000};

// How a site of the settings is reached, with its password already looked up (the field may
// hold a reference to where the secret is kept, never sent as it stands).
net::SiteLogin SiteLoginOf(const FtpSite& site, std::string password);

// Stores localFile under remoteName (CP932, relative to the login folder) within the site's
// deadline, QUIT included, waits kPauseBeforeClosing through pause after a stored file, and
// closes. A server text that names no host or a pin that is no pin is a failed connection.
net::Outcome StoreOnSite(const net::SiteLogin& login, const std::filesystem::path& localFile,
                         const std::string& remoteName, const PauseFunction& pause, const StopToken* stop);

}  // namespace zepa2
