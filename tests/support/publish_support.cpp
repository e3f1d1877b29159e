#include "support/publish_support.h"

#include <sstream>

#include "core/text/cp932.h"

namespace zepa2::test {

void RecordingHost::AppendLog(const std::string& text, LogColor color) {
  log.push_back({Cp932ToUtf8(text), color});
}

ScopedWorkingFolder::ScopedWorkingFolder(const std::filesystem::path& folder)
    : old_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

ScopedWorkingFolder::~ScopedWorkingFolder() {
  std::error_code ec;
  std::filesystem::current_path(old_, ec);
}

namespace {
std::vector<std::string> ServerArgs(const TempDir& root, bool listDotsWhenAsked,
                                    std::size_t floodListBytes, bool stallStor) {
  std::filesystem::create_directories(root.path() / "home");
  std::vector<std::string> args = {(root.path() / "home").string(),
                                   (root.path() / "commands.log").string()};
  if (listDotsWhenAsked) args.insert(args.begin(), "--dots");
  if (floodListBytes > 0) args.insert(args.begin(), "--flood-list=" + std::to_string(floodListBytes));
  if (stallStor) args.insert(args.begin(), "--stall-stor");
  return args;
}
}  // namespace

FtpTestServer::FtpTestServer(bool listDotsWhenAsked, std::size_t floodListBytes, bool stallStor)
    : root_(),
      process_("ftp_server.py", ServerArgs(root_, listDotsWhenAsked, floodListBytes, stallStor)) {}

std::vector<std::string> FtpTestServer::commands() const {
  std::istringstream in(ReadFile(root_.path() / "commands.log"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace zepa2::test
