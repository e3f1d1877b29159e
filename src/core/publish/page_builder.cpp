#include "core/publish/page_builder.h"

#include <filesystem>
#include <fstream>
#include <string_view>

#include "core/publish/local_path.h"

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
void WriteWithCrLf(std::ofstream& out, const std::string& text) {
  std::string converted;
  converted.reserve(text.size() + 16);
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  out.write(converted.data(), static_cast<std::streamsize>(converted.size()));
}

}  // namespace

std::string FormatPageTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
  return std::string(text, n);
}

std::string FillTemplateLine(const std::string& line, const std::string& address, const Clock& now) {
  int times = 0;
  int addresses = 0;
  std::string out = ReplaceEach(line, kTimeToken, [&] { return FormatPageTime(now()); }, &times);
  out = ReplaceEach(out, kAddressToken, [&] { return address; }, &addresses);
  out.append(static_cast<std::size_t>(addresses) + 1, '\n');
  return out;
}

BuildOutcome BuildPage(const std::string& templatePath, const std::string& address, const Clock& now) {
  const std::filesystem::path path = LocalPath(templatePath);
  std::ifstream in(path, std::ios::binary);
  // A folder opens for reading but has no lines; taking it would publish an empty page.
  std::error_code ec;
  if (!in || std::filesystem::is_directory(path, ec)) return BuildOutcome::TemplateNotOpened;
  std::ofstream out(kTempPageFile, std::ios::binary | std::ios::trunc);
  if (!out) return BuildOutcome::TempFileNotCreated;

  for (std::string line; std::getline(in, line);) {
    const bool endedByLf = !in.eof();
    if (endedByLf && !line.empty() && line.back() == '\r') line.pop_back();
    WriteWithCrLf(out, FillTemplateLine(line, address, now));
  }
  out.close();
  return out ? BuildOutcome::PageWritten : BuildOutcome::TempFileNotCreated;
}

}  // namespace zepa2
