#include "core/publish/page_builder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

#include "core/publish/local_path.h"
#include "core/sys/read_file.h"

namespace zepa2 {
namespace {

// Replaces each occurrence of token, leftmost first, with what make() gives at that moment.
template <typename MakeText>
std::string ReplaceEach(const std::string& text, std::string_view token, MakeText make, int* count) {
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(token, from)) != std::string::npos; from = at + token.size()) {
    out.append(text, from, at - from);
    out += make();
    ++*count;
  }
  out.append(text, from, std::string::npos);
  return out;
}

// Text-mode writing: every LF goes to the file as CR LF.
void AppendWithCrLf(std::string& out, const std::string& text) {
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
}

// Creates the file only where nothing stands yet, not even a link, readable by its owner only.
bool WriteNewPrivateFile(const std::filesystem::path& file, std::string_view bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return ::close(fd) == 0 && ok;
}

}  // namespace

std::string FormatPageTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return std::string(text, n);
}

std::string FillTemplateLine(const std::string& line, const std::string& address, const Clock& now,
                             const PageIpv6& ipv6) {
  int times = 0;
  int addresses = 0;
  int ipv6Tokens = 0;
  std::string out = ReplaceEach(
      line, kTimeToken, [&] { return FormatPageTime(now()); }, &times);
  out = ReplaceEach(
      out, kIpv6AddressToken, [&] { return ipv6.address; }, &ipv6Tokens);
  out = ReplaceEach(
      out, kIpv6PrefixToken, [&] { return ipv6.prefix; }, &ipv6Tokens);
  out = ReplaceEach(
      out, kAddressToken, [&] { return address; }, &addresses);
  out.append(static_cast<std::size_t>(addresses) + 1, '\n');
  return out;
}

BuildOutcome BuildPage(const std::string& templatePath, const std::filesystem::path& pageFile,
                       const std::string& address, const Clock& now, const PageIpv6& ipv6) {
  const std::optional<std::string> text = ReadRegularFile(LocalPath(templatePath), kMaxTemplateBytes);
  if (!text) return BuildOutcome::TemplateNotOpened;

  std::string page;
  page.reserve(text->size() + text->size() / 16 + 64);
  for (std::size_t from = 0; from < text->size();) {
    const std::size_t lf = text->find('\n', from);
    const bool endedByLf = lf != std::string::npos;
    std::string line = text->substr(from, endedByLf ? lf - from : std::string::npos);
    from = endedByLf ? lf + 1 : text->size();
    if (endedByLf && !line.empty() && line.back() == '\r') line.pop_back();
    AppendWithCrLf(page, FillTemplateLine(line, address, now, ipv6));
  }
  return WriteNewPrivateFile(pageFile, page) ? BuildOutcome::PageWritten : BuildOutcome::TempFileNotCreated;
}

bool TemplateUsesIpv6(const std::string& templatePath) {
  const std::optional<std::string> text = ReadRegularFile(LocalPath(templatePath), kMaxTemplateBytes);
  return text && (text->find(kIpv6AddressToken) != std::string::npos ||
                  text->find(kIpv6PrefixToken) != std::string::npos);
}

}  // namespace zepa2
