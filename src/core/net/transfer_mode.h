// How a site is reached: FTP active or passive, FTP over TLS, or SFTP, and what each asks of trust.
#pragma once

namespace zepa2::net {

// The values are those of the settings file.
enum class TransferMode {
  ActiveFtp = 0,   // the server connects back for data (the first releases' only way)
  PassiveFtp = 1,  // the client opens the data connection (EPSV, then PASV)
  FtpTls = 2,      // explicit AUTH TLS before the log-in; control and data protected; passive
  Sftp = 3,        // SSH file transfer; the host key must be pinned
};

// A settings value outside 0..3 (a newer version's mode, a hand edit) reads as today's active FTP.
inline TransferMode TransferModeFromSetting(int value) {
  return value >= 0 && value <= 3 ? static_cast<TransferMode>(value) : TransferMode::ActiveFtp;
}

// Whether the server proves itself with a key that can be pinned.
inline bool HasServerKey(TransferMode mode) {
  return mode == TransferMode::FtpTls || mode == TransferMode::Sftp;
}

// What a pin of the mode holds: a TLS certificate's public key and an SSH host key never match,
// so a pin made for one kind would only read as a changed key under the other.
enum class PinnedKeyKind { None, TlsPublicKey, SshHostKey };

inline PinnedKeyKind PinnedKeyKindOf(TransferMode mode) {
  switch (mode) {
    case TransferMode::FtpTls: return PinnedKeyKind::TlsPublicKey;
    case TransferMode::Sftp: return PinnedKeyKind::SshHostKey;
    default: return PinnedKeyKind::None;
  }
}

// Why a server was not trusted, when it was not.
enum class KeyTrouble {
  None,
  Unverified,  // no pin and the key could not be verified (TLS: not in the store; SFTP: always)
  Changed,     // a pin is set and the server showed another key
};

}  // namespace zepa2::net
