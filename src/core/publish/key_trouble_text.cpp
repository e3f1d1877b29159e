#include "core/publish/key_trouble_text.h"

#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

std::string KeyTroubleLogLine(const std::string& server, net::KeyTrouble key, net::PinnedKeyKind keyKind) {
  switch (key) {
    case net::KeyTrouble::None:
      return {};
    case net::KeyTrouble::Changed:
      return server + Cp932(msg::kKeyChanged);
    case net::KeyTrouble::Unverified:
      return server +
             Cp932(keyKind == net::PinnedKeyKind::SshHostKey ? msg::kSftpKeyNotPinned : msg::kKeyUnverified);
  }
  return {};
}

}  // namespace zepa2
