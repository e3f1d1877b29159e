#include "core/net/ftp_list_line.h"

namespace zepa2::net {
namespace {

constexpr int kFieldsBeforeName = 8;
constexpr std::string_view kLinkArrow = " -> ";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsEntryType(char c) {
  return c == '-' || c == 'd' || c == 'l' || c == 'p' || c == 's' || c == 'c' || c == 'b';
}

}  // namespace

std::optional<FtpEntry> ParseListLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  if (line.empty() || !IsEntryType(line.front())) return std::nullopt;

  std::size_t pos = 0;
  for (int field = 0; field < kFieldsBeforeName; ++field) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size()) return std::nullopt;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  }
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos == line.size()) return std::nullopt;

  std::string_view name = line.substr(pos);
  if (line.front() == 'l') name = name.substr(0, name.find(kLinkArrow));
  if (name.empty()) return std::nullopt;
  return FtpEntry{std::string(name), line.front() == 'd'};
}

std::vector<FtpEntry> ParseListing(std::string_view body, bool complete) {
  std::vector<FtpEntry> entries;
  while (!body.empty()) {
    const std::size_t end = body.find('\n');
    if (end == std::string_view::npos && !complete) break;
    const std::string_view line = body.substr(0, end);
    if (auto entry = ParseListLine(line)) entries.push_back(std::move(*entry));
    if (end == std::string_view::npos) break;
    body.remove_prefix(end + 1);
  }
  return entries;
}

}  // namespace zepa2::net
