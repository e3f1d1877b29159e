// The FTP settings' upload test: one template file stored as it is on the site being edited.
#pragma once

#include <string>

#include "core/net/transport.h"
#include "core/sys/pause.h"
#include "core/sys/stop_token.h"

namespace zepa2 {

// Stores localFile (a CP932 path) as it is under uploadFile over the site's transport, waits a
// second with the connection still open after a stored file, and closes it. The outcome carries
// the key a server was refused for, so that the dialog can offer to trust it.
net::Outcome UploadTestFile(const net::SiteLogin& login, const std::string& uploadFile,
                            const std::string& localFile, const PauseFunction& pause,
                            const StopToken* stop = nullptr);

}  // namespace zepa2
