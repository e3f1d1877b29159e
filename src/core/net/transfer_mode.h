// How a site is reached: one row per transfer mode, read by everything that depends on the mode.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zepa2::net {

// The values are those of the settings file ([FTP] ModeN).
enum class TransferMode {
  ActiveFtp = 0,   // the server connects back for data (the first releases' only way)
  PassiveFtp = 1,  // the client opens the data connection (EPSV, then PASV)
  FtpTls = 2,      // explicit AUTH TLS before the log-in; control and data protected; passive
  Sftp = 3,        // SSH file transfer; the host key must be pinned
  WebDav = 4,      // HTTP PUT to a WebDAV folder, Basic or Digest; https unless the server says http://
  S3 = 5,          // HTTP PUT to S3-compatible object storage, signed with AWS Signature Version 4
};

// What a pin of the mode holds: a TLS certificate's public key and an SSH host key never match,
// so a pin made for one kind would only read as a changed key under the other.
enum class PinnedKeyKind { None, TlsPublicKey, SshHostKey };

// Which transport class carries the mode (see transport.h).
enum class TransportKind { Ftp, Sftp, WebDav, S3 };

struct TransferModeRow {
  TransferMode mode;
  std::string_view statusName;  // its name in last-run.json
  const char* caption;          // UTF-8, the FTP dialog's drop-down
  const char* logName;          // UTF-8, the protocol named in the log ("FTP", "SFTP")
  std::string_view scheme;      // of libcurl's URL
  int defaultPort;
  PinnedKeyKind key;
  bool typeA;       // the page goes with the ASCII type (TYPE A right before STOR)
  bool activeData;  // FTP: the server connects back for data (PORT/EPRT) instead of passive
  bool canBrowse;   // the dialog's site browser can list its folders
  TransportKind transport;
  // The server text may begin with "http://" or "https://" (a web address); without one the row's
  // scheme and port stand, as for every other mode.
  bool schemeInServer = false;
  bool usesRegion = false;  // the site names its storage region ([FTP] RegionN)
};

// Every mode, in the order of the settings values and of the dialog's drop-down.
std::span<const TransferModeRow> TransferModes();
const TransferModeRow& RowOf(TransferMode mode);
// The mode a settings number names; nothing for a number this version does not know (a newer
// version's mode, a typo), which is never read as another mode.
std::optional<TransferMode> TransferModeOfSetting(int value);

inline bool HasServerKey(TransferMode mode) { return RowOf(mode).key != PinnedKeyKind::None; }
inline PinnedKeyKind PinnedKeyKindOf(TransferMode mode) { return RowOf(mode).key; }

// Where a site's server text leads under its mode: the scheme of libcurl's URL, the host and port.
struct SiteServer {
  std::string scheme;
  std::string host;
  int port = 0;
};
// Nothing when the text names no host (a space, a path, a scheme the mode does not take, a bad port).
std::optional<SiteServer> ParseSiteServer(const TransferModeRow& row, std::string_view text);

}  // namespace zepa2::net
