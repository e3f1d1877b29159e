// The settings fields that go onto the wire, checked before use: a line break or NUL in one would
// reach the server as a command or header line of its own. Failures name the field as the dialogs do.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace zepa2 {

struct ProtocolField {
  const char* name;  // UTF-8, as the settings dialog labels the field
  std::string_view text;
};

// The name of the first field that is not protocol text; nullptr when every one is.
const char* FirstUnsafeField(std::initializer_list<ProtocolField> fields);

// The fields of an FTP site and of the router request that go onto the wire.
const char* UnsafeFtpSiteField(std::string_view server, std::string_view user, std::string_view password,
                               std::string_view remoteFile);
const char* UnsafeRouterField(std::string_view server, std::string_view page, std::string_view user,
                              std::string_view password);

// The activity-log line (CP932) that says a field was not sent, and why.
std::string UnsafeFieldLogLine(const char* fieldName);

}  // namespace zepa2
