#include "core/net/transfer_mode.h"

#include <array>

#include "core/net/server_address.h"
#include "core/text/messages.h"

namespace zepa2::net {
namespace {

constexpr std::array<TransferModeRow, 6> kRows{{
    {TransferMode::ActiveFtp, "ftp-active", msg::kModeActiveFtp, "FTP", "ftp", 21, PinnedKeyKind::None, true,
     true, true, TransportKind::Ftp},
    {TransferMode::PassiveFtp, "ftp-passive", msg::kModePassiveFtp, "FTP", "ftp", 21, PinnedKeyKind::None,
     true, false, true, TransportKind::Ftp},
    // Explicit AUTH TLS, passive: the TLS pin (when set) alone decides whether the server is trusted.
    {TransferMode::FtpTls, "ftps", msg::kModeFtpTls, "FTPS", "ftp", 21, PinnedKeyKind::TlsPublicKey, true,
     false, true, TransportKind::Ftp},
    {TransferMode::Sftp, "sftp", msg::kModeSftp, "SFTP", "sftp", 22, PinnedKeyKind::SshHostKey, false, false,
     true, TransportKind::Sftp},
    // Pages go over HTTP as they are built: no line ends are rewritten.
    {TransferMode::WebDav, "webdav", msg::kModeWebDav, "WebDAV", "https", 443, PinnedKeyKind::TlsPublicKey,
     false, false, true, TransportKind::WebDav, true},
    {TransferMode::S3, "s3", msg::kModeS3, "S3", "https", 443, PinnedKeyKind::TlsPublicKey, false, false,
     true, TransportKind::S3, true, true},
}};

// The table is indexed by the settings value; a row out of place would name another mode.
constexpr bool RowsInSettingsOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (static_cast<std::size_t>(kRows[i].mode) != i) return false;
  }
  return true;
}
static_assert(RowsInSettingsOrder());

}  // namespace

std::span<const TransferModeRow> TransferModes() { return kRows; }

const TransferModeRow& RowOf(TransferMode mode) { return kRows[static_cast<std::size_t>(mode)]; }

std::optional<TransferMode> TransferModeOfSetting(int value) {
  if (value < 0 || static_cast<std::size_t>(value) >= kRows.size()) return std::nullopt;
  return kRows[static_cast<std::size_t>(value)].mode;
}

std::optional<SiteServer> ParseSiteServer(const TransferModeRow& row, std::string_view text) {
  if (row.schemeInServer && text.find("://") != std::string_view::npos) {
    const auto web = ParseWebServer(text);
    if (!web) return std::nullopt;
    return SiteServer{web->https ? "https" : "http", web->address.host, web->address.port};
  }
  const auto address = ParseServerAddress(text, row.defaultPort);
  if (!address) return std::nullopt;
  return SiteServer{std::string(row.scheme), address->host, address->port};
}

}  // namespace zepa2::net
