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
std::vector<std::string> ServerArgs(const TempDir& root, const FtpServerOptions& options) {
  std::filesystem::create_directories(root.path() / "home");
  std::vector<std::string> args;
  if (options.listDotsWhenAsked) args.push_back("--dots");
  if (options.floodListBytes > 0) {
    args.push_back("--flood-list=" + std::to_string(options.floodListBytes));
  }
  if (!options.utf8) args.push_back("--no-utf8");
  if (options.muteList) args.push_back("--mute-list");
  if (options.stallStor) args.push_back("--stall-stor");
  args.push_back((root.path() / "home").string());
  args.push_back((root.path() / "commands.log").string());
  return args;
}
}  // namespace

FtpTestServer::FtpTestServer(FtpServerOptions options)
    : root_(), process_("ftp_server.py", ServerArgs(root_, options)) {}

std::vector<std::string> FtpTestServer::commands() const {
  std::istringstream in(ReadFile(root_.path() / "commands.log"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace zepa2::test
