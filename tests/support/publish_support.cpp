#include "support/publish_support.h"

#include <sstream>
#include <thread>

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
  if (options.tls) {
    std::filesystem::create_directories(root.path() / "tls");
    args.push_back("--tls=" + (root.path() / "tls").string());
  }
  if (options.port != 0) args.push_back("--port=" + std::to_string(options.port));
  args.push_back((root.path() / "home").string());
  args.push_back((root.path() / "commands.log").string());
  return args;
}
}  // namespace

FtpTestServer::FtpTestServer(FtpServerOptions options)
    : root_(), process_("ftp_server.py", ServerArgs(root_, options)) {}

std::vector<std::string> RecordLines(const std::filesystem::path& file) {
  std::istringstream in(ReadFile(file));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

AppSettings OneSiteRun(const std::string& routerHostPort, const FtpTestServer& ftp,
                       const std::filesystem::path& localFile) {
  AppSettings settings;
  settings.routerServer = routerHostPort;
  settings.routerPage = "status.htm";
  settings.filter1 = Cp932("WAN側IPアドレス");
  settings.filter2 = "</table>";
  settings.filter3 = "<td>";
  settings.filter4 = "</td>";
  FtpSite& site = settings.sites[0];
  site.server = ftp.server();
  site.user = FtpTestServer::kUser;
  site.pass = FtpTestServer::kPassword;
  site.uploadFile = "index.html";
  site.localFile = localFile.string();
  return settings;
}

std::vector<std::string> FtpTestServer::commands() const {
  return RecordLines(root_.path() / "commands.log");
}

std::string FtpTestServer::pin() const { return ReadFile(root_.path() / "tls" / "cert.pin"); }

namespace {
std::vector<std::string> SftpArgs(const TempDir& root) {
  std::filesystem::create_directories(root.path() / "root");
  std::filesystem::create_directories(root.path() / "key");
  return {(root.path() / "root").string(), (root.path() / "key").string(),
          (root.path() / "commands.log").string()};
}
}  // namespace

SftpTestServer::SftpTestServer() : root_(), process_("sftp_server.py", SftpArgs(root_)) {}

std::string SftpTestServer::pin() const { return ReadFile(root_.path() / "key" / "host_key.pin"); }

std::vector<std::string> SftpTestServer::commands() const {
  return RecordLines(root_.path() / "commands.log");
}

namespace {

std::vector<std::string> WebDavArgs(const TempDir& root, const WebDavTestServer::Options& options) {
  std::vector<std::string> args{root.path().string()};
  if (options.tls) args.push_back("--tls");
  if (options.basic) args.push_back("--auth=basic");
  return args;
}

std::vector<std::string> S3Args(const TempDir& root, const S3TestServer::Options& options) {
  for (const std::string& bucket : options.buckets) std::filesystem::create_directories(root.path() / "data" / bucket);
  std::filesystem::create_directories(root.path() / "data");
  std::vector<std::string> args{(root.path() / "data").string(), S3TestServer::kAccessKey, S3TestServer::kSecret,
                                "--record=" + (root.path() / "requests.log").string(),
                                "--page-size=" + std::to_string(options.pageSize)};
  if (!options.region.empty()) args.push_back("--region=" + options.region);
  if (options.stallPut) args.push_back("--stall-put");
  if (options.repeatToken) args.push_back("--repeat-token");
  return args;
}

}  // namespace

WebDavTestServer::WebDavTestServer(Options options)
    : root_(), tls_(options.tls), process_("webdav_server.py", WebDavArgs(root_, options)) {}

std::string WebDavTestServer::server() const {
  return (tls_ ? "" : "http://") + process_.hostPort();
}

std::vector<std::string> WebDavTestServer::requests(std::size_t count) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::vector<std::string> lines = RecordLines(root_.path() / "access.log");
  while (lines.size() < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    lines = RecordLines(root_.path() / "access.log");
  }
  return lines;
}

std::string WebDavTestServer::pin() const { return ReadFile(root_.path() / "cert.pin"); }

S3TestServer::S3TestServer(Options options) : root_(), process_("s3_server.py", S3Args(root_, options)) {}

std::vector<std::string> S3TestServer::requests() const { return RecordLines(root_.path() / "requests.log"); }

}  // namespace zepa2::test
