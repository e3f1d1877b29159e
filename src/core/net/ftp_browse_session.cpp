#include "core/net/ftp_browse_session.h"

#include "core/text/cp932.h"
#include "core/net/protocol_text.h"

namespace zepa2::net {

std::optional<FtpBrowseSession> FtpBrowseSession::Connect(const SiteLogin& login, TransferLimits limits,
                                                          Outcome* failure, const std::string& startFile) {
  Outcome ignored;
  Outcome& outcome = failure ? *failure : ignored;
  auto session = Transport::Open(login, limits);
  if (!session) return std::nullopt;
  outcome = session->LogIn();
  if (outcome.kind != OutcomeKind::Done) return std::nullopt;
  if (const auto home = session->HomeFolder()) {
    std::string entry = session->LocalName(*home).value_or(Utf8ToCp932(*home));
    return FtpBrowseSession(std::move(session), std::move(entry));
  }
  // Without a log-in folder, browsing starts beside the site's page; a folder that is not there
  // (yet) gives way to the nearest one above it. The first visit proves the log-in too.
  std::string folder = WithoutDots("/" + session->WireName(startFile) + "/..");
  for (;;) {
    FolderListing visit = session->ListFolder(folder, false);
    if (visit.outcome.done()) {
      std::string entry = session->LocalName(visit.folder).value_or(Utf8ToCp932(visit.folder));
      return FtpBrowseSession(std::move(session), std::move(entry));
    }
    if (visit.outcome.kind != OutcomeKind::TransferRefused || folder == "/") {
      outcome = std::move(visit.outcome);
      return std::nullopt;
    }
    folder = WithoutDots(folder + "/..");
  }
}

std::string FtpBrowseSession::LocalDirectory(const std::string& wireName) const {
  // A folder the user could not have picked: the closest CP932 spelling still shows where we are.
  return session_->LocalName(wireName).value_or(Utf8ToCp932(wireName));
}

OutcomeKind FtpBrowseSession::ChangeDirectory(const std::string& target) {
  if (!IsProtocolText(target)) return OutcomeKind::TransferRefused;
  const FolderListing visit = session_->ListFolder(session_->WireName(target), false);
  if (visit.outcome.done()) currentDirectory_ = LocalDirectory(visit.folder);
  return visit.outcome.kind;
}

bool IsOfferableEntry(const FtpEntry& entry) {
  for (const unsigned char c : entry.name)
    if (c < 0x20 || c == 0x7F || c == '/') return false;
  return entry.isDirectory || (entry.name != "." && entry.name != "..");
}

FtpListing FtpBrowseSession::ListCurrentDirectory() {
  FolderListing visit = session_->ListFolder(session_->WireName(currentDirectory_), true);
  FtpListing listing;
  listing.kind = visit.outcome.kind;
  listing.cut = visit.cut;
  for (FtpEntry& entry : visit.entries) {
    if (!IsOfferableEntry(entry)) {
      ++listing.leftOut;
      continue;
    }
    if (auto local = session_->LocalName(entry.name)) {
      entry.name = std::move(*local);
    } else {
      entry.noCp932Form = true;
    }
    listing.entries.push_back(std::move(entry));
  }
  if (visit.outcome.done() && !visit.folder.empty()) currentDirectory_ = LocalDirectory(visit.folder);
  return listing;
}

}  // namespace zepa2::net
