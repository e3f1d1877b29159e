#include "core/net/key_trouble_text.h"

#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2::net {

std::string KeyTroubleLogLine(const std::string& server, KeyTrouble key, TransferMode mode) {
  switch (key) {
    case KeyTrouble::None: return {};
    case KeyTrouble::Changed: return server + Cp932(msg::kKeyChanged);
    case KeyTrouble::Unverified:
      return server + Cp932(mode == TransferMode::Sftp ? msg::kSftpKeyNotPinned : msg::kKeyUnverified);
  }
  return {};
}

}  // namespace zepa2::net
