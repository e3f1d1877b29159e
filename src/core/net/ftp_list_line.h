// Reads one line of a Unix "ls -l" style FTP listing into a name and whether it is a folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zepa2::net {

struct FtpEntry {
  std::string name;  // the server's bytes (CP932, UTF-8 or anything else)
  bool isDirectory = false;
  // A UTF-8 server's name that CP932 cannot hold: name keeps the server's UTF-8 bytes, for display.
  bool noCp932Form = false;

  bool operator==(const FtpEntry&) const = default;
};

// "drwxr-xr-x 2 user group 4096 Jan 01 12:00 my folder" gives {"my folder", true}: the type is
// the first character, the name is the ninth field up to the end of the line, spaces and all. A
// link drops its " -> target". Lines that are not entries ("total 12", blank, too few fields)
// give nothing.
std::optional<FtpEntry> ParseListLine(std::string_view line);

// Every entry of a listing body, in the server's order. A last line without its line end is
// taken only when the body is complete.
std::vector<FtpEntry> ParseListing(std::string_view body, bool complete);

}  // namespace zepa2::net
