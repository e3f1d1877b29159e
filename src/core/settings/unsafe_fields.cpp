#include "core/settings/unsafe_fields.h"

#include "core/net/protocol_text.h"

#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2 {

const char* FirstUnsafeField(std::initializer_list<ProtocolField> fields) {
  for (const ProtocolField& field : fields) {
    if (!net::IsProtocolText(field.text)) return field.name;
  }
  return nullptr;
}

const char* UnsafeFtpSiteField(std::string_view server, std::string_view user, std::string_view password,
                               std::string_view remoteFile) {
  return FirstUnsafeField({{msg::kFtpServerLabel, server},
                           {msg::kFtpUserLabel, user},
                           {msg::kFtpPasswordLabel, password},
                           {msg::kUploadFileLabel, remoteFile}});
}

const char* UnsafeRouterField(std::string_view server, std::string_view page, std::string_view user,
                              std::string_view password) {
  return FirstUnsafeField({{msg::kRouterServerLabel, server},
                           {msg::kRouterPathLabel, page},
                           {msg::kRouterUserField, user},
                           {msg::kRouterPassField, password}});
}

std::string UnsafeFieldLogLine(const char* fieldName) {
  const std::string_view format = msg::kUnsafeFieldNotSent;
  const std::size_t at = format.find("%s");
  return Cp932(std::string(format.substr(0, at)) + fieldName + std::string(format.substr(at + 2)));
}

}  // namespace zepa2
