#include "core/net/webdav_transport.h"

#include <algorithm>

#include "core/net/http_transport.h"
#include "core/text/xml_tree.h"

namespace zepa2::net {
namespace {

// Only whether each entry is a folder is asked for: servers answer much less than for allprop.
constexpr const char* kPropfindBody =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<D:propfind xmlns:D=\"DAV:\"><D:prop><D:resourcetype/></D:prop></D:propfind>\n";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The path an href names: "http://host:port" dropped when it is there, escapes decoded.
std::string HrefPath(std::string_view href) {
  constexpr std::string_view kSpace = " \t\r\n";
  href.remove_prefix(std::min(href.find_first_not_of(kSpace), href.size()));
  href.remove_suffix(href.size() - (href.find_last_not_of(kSpace) + 1));
  if (const std::size_t scheme = href.find("://"); scheme != std::string_view::npos) {
    const std::size_t path = href.find('/', scheme + 3);
    href = path == std::string_view::npos ? std::string_view("/") : href.substr(path);
  }
  std::string path;
  for (std::size_t i = 0; i < href.size(); ++i) {
    if (href[i] == '%' && i + 2 < href.size() && HexValue(href[i + 1]) >= 0 && HexValue(href[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(href[i + 1]) * 16 + HexValue(href[i + 2]));
      i += 2;
    } else {
      path += href[i];
    }
  }
  return path;
}

bool IsCollection(const XmlElement& response) {
  for (const XmlElement& propstat : response.children) {
    if (propstat.name != "propstat") continue;
    const XmlElement* prop = propstat.Child("prop");
    const XmlElement* type = prop ? prop->Child("resourcetype") : nullptr;
    if (type && type->Child("collection")) return true;
  }
  return false;
}

std::string LastName(const std::string& absolutePath) {
  return absolutePath.substr(absolutePath.rfind('/') + 1);
}

class WebDavTransport final : public HttpTransport {
 public:
  WebDavTransport(CurlEasy handle, const std::string& hostRoot, TransferLimits limits, const SiteLogin& login)
      : HttpTransport(std::move(handle), hostRoot, limits, login) {
    curl_easy_setopt(this->handle(), CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC | CURLAUTH_DIGEST));
  }

  // The URL names the folder itself; a trailing slash is what servers expect of a collection.
  std::string FolderUrl(const std::string& absoluteWirePath) const override {
    return UrlFor(absoluteWirePath == "/" ? absoluteWirePath : absoluteWirePath + "/");
  }

  // PROPFIND with "Depth: 1" lists the folder and its entries, "Depth: 0" only proves the folder.
  FolderListing ListFolder(const std::string& absoluteWirePath, bool withEntries) override {
    FolderListing listing;
    const std::string folder = WithoutDots(absoluteWirePath);
    const std::string body = kPropfindBody;
    const CURLcode code =
        Send(FolderUrl(folder), "PROPFIND",
             {withEntries ? "Depth: 1" : "Depth: 0", "Content-Type: application/xml; charset=utf-8"}, &body);
    listing.outcome = OutcomeOf(code);
    // Servers forbid a folder the account may not enter (or a file asked for as a folder): once
    // the account is proved that is a refused folder, not a refused log-in.
    if (!withEntries && code == CURLE_OK && answer().status == 403)
      listing.outcome.kind = OutcomeKind::TransferRefused;
    if (!listing.outcome.done()) return listing;
    const auto tree = answer().status == 207 ? ParseXml(answer().body) : std::nullopt;
    if (!tree || tree->name != "multistatus") {
      listing.outcome = {OutcomeKind::TransferRefused, RefusalReason() + ": no WebDAV folder answered", true};
      return listing;
    }
    bool folderSeen = false;
    for (const XmlElement& response : tree->children) {
      if (response.name != "response") continue;
      const std::string path = WithoutDots(HrefPath(response.ChildText("href")));
      if (path == folder) {
        folderSeen = IsCollection(response);
      } else if (withEntries && path != "/") {
        listing.entries.push_back({LastName(path), IsCollection(response)});
      }
    }
    if (!folderSeen) {
      listing.entries.clear();
      listing.outcome = {OutcomeKind::TransferRefused, "not a folder: " + folder, true};
      return listing;
    }
    listing.folder = folder;
    return listing;
  }

 protected:
  // A PUT into a folder that is not there is refused (409 as the standard has it, 404 on some
  // servers): the folder is never made on the user's behalf, and the line says why.
  std::string RefusalReason() const override {
    const long status = answer().status;
    if (status == 404 || status == 409)
      return "the folder does not exist (" + HttpTransport::RefusalReason() + ")";
    return HttpTransport::RefusalReason();
  }
};

}  // namespace

std::unique_ptr<Transport> OpenWebDavTransport(CurlEasy handle, const std::string& hostRoot,
                                               TransferLimits limits, const SiteLogin& login) {
  return std::make_unique<WebDavTransport>(std::move(handle), hostRoot, limits, login);
}

}  // namespace zepa2::net
