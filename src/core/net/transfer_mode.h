// How a site is reached: one row per transfer mode, read by everything that depends on the mode.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace zepa2::net {

// The values are those of the settings file ([FTP] ModeN).
enum class TransferMode {
  ActiveFtp = 0,   // the server connects back for data (the first releases' only way)
  PassiveFtp = 1,  // the client opens the data connection (EPSV, then PASV)
  FtpTls = 2,      // explicit AUTH TLS before the log-in; control and data protected; passive
  Sftp = 3,        // SSH file transfer; the host key must be pinned
};

// What a pin of the mode holds: a TLS certificate's public key and an SSH host key never match,
// so a pin made for one kind would only read as a changed key under the other.
enum class PinnedKeyKind { None, TlsPublicKey, SshHostKey };

// Which transport class carries the mode (see transport.h).
enum class TransportKind { Ftp, Sftp };

struct TransferModeRow {
  TransferMode mode;
  std::string_view statusName;  // its name in last-run.json
  const char* caption;          // UTF-8, the FTP dialog's drop-down
  const char* logName;          // UTF-8, the protocol named in the log ("FTP", "SFTP")
  std::string_view scheme;      // of libcurl's URL
  int defaultPort;
  PinnedKeyKind key;
  bool typeA;      // the page goes with the ASCII type (TYPE A right before STOR)
  bool activeData; // FTP: the server connects back for data (PORT/EPRT) instead of passive
  bool canBrowse;  // the dialog's site browser can list its folders
  TransportKind transport;
};

// Every mode, in the order of the settings values and of the dialog's drop-down.
std::span<const TransferModeRow> TransferModes();
const TransferModeRow& RowOf(TransferMode mode);
// The mode a settings number names; nothing for a number this version does not know (a newer
// version's mode, a typo), which is never read as another mode.
std::optional<TransferMode> TransferModeOfSetting(int value);

inline bool HasServerKey(TransferMode mode) { return RowOf(mode).key != PinnedKeyKind::None; }
inline PinnedKeyKind PinnedKeyKindOf(TransferMode mode) { return RowOf(mode).key; }

}  // namespace zepa2::net
