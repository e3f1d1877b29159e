#include "core/net/s3_transport.h"

#include <set>

#include "core/net/http_transport.h"
#include "core/text/xml_tree.h"

namespace zepa2::net {
namespace {

constexpr std::string_view kDefaultRegion = "us-east-1";

// Every byte but the unreserved ones escaped, "/" too, in upper-case hex: the query as the
// signature's canonical form spells it, so what libcurl signs is what the service checks.
std::string QueryEscaped(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

// "/BUCKET/a/b" as the bucket and the key prefix of the folder ("a/b/"; empty at the bucket's top).
struct BucketFolder {
  std::string bucket;
  std::string prefix;
};
BucketFolder BucketFolderOf(const std::string& folder) {
  const std::size_t slash = folder.find('/', 1);
  if (slash == std::string::npos) return {folder.substr(1), ""};
  return {folder.substr(1, slash - 1), folder.substr(slash + 1) + "/"};
}

class S3Transport final : public HttpTransport {
 public:
  S3Transport(CurlEasy handle, const std::string& hostRoot, TransferLimits limits, const SiteLogin& login)
      : HttpTransport(std::move(handle), hostRoot, limits, login) {
    const std::string region = login.region.empty() ? std::string(kDefaultRegion) : login.region;
    curl_easy_setopt(this->handle(), CURLOPT_AWS_SIGV4, ("aws:amz:" + region + ":s3").c_str());
    // libcurl 7.88 signs the hash of an empty payload unless the request names its own: this
    // header says the body is not part of the signature, and libcurl signs the header with the rest.
    AddStandingHeader("x-amz-content-sha256: UNSIGNED-PAYLOAD");
  }

  // A folder is a key prefix of its bucket, listed with "/" as the delimiter.
  std::string FolderUrl(const std::string& absoluteWirePath) const override {
    return ListUrl(WithoutDots(absoluteWirePath), {}, false);
  }

  // The top lists the buckets; a folder below it lists its prefix with ListObjectsV2, page after
  // page. Only a bucket can be missing: every prefix of a bucket is a folder, empty or not.
  FolderListing ListFolder(const std::string& absoluteWirePath, bool withEntries) override {
    FolderListing listing;
    const std::string folder = WithoutDots(absoluteWirePath);
    if (folder == "/") return ListBuckets(withEntries);
    const BucketFolder where = BucketFolderOf(folder);
    std::string token;
    std::set<std::string> tokensSeen;
    std::size_t received = 0;
    for (std::size_t page = 1;; ++page) {
      listing.outcome = OutcomeOf(Send(ListUrl(folder, token, !withEntries), nullptr, {}));
      if (!listing.outcome.done()) return listing;
      received += answer().body.size();
      const auto tree = ParseXml(answer().body);
      if (!tree || tree->name != "ListBucketResult") return Unreadable(std::move(listing));
      for (const XmlElement& entry : tree->children) {
        const bool isFolder = entry.name == "CommonPrefixes";
        std::string key = entry.ChildText(isFolder ? "Prefix" : "Key");
        if ((!isFolder && entry.name != "Contents") || !key.starts_with(where.prefix)) continue;
        key.erase(0, where.prefix.size());
        if (isFolder && key.ends_with('/')) key.pop_back();
        // The empty object some tools make to stand for a folder is that folder, not an entry.
        if (!key.empty() && withEntries) listing.entries.push_back({std::move(key), isFolder});
      }
      token = tree->ChildText("NextContinuationToken");
      if (!withEntries || tree->ChildText("IsTruncated") != "true" || token.empty()) break;
      // A store that hands out a token it gave before, or pages without end, would be asked (and
      // bill) for ever: the listing ends with what came.
      if (!tokensSeen.insert(token).second || page >= kMaxListingPages) {
        listing.cut = true;
        break;
      }
      if (received > kMaxListingBytes) {
        listing.outcome = {OutcomeKind::TransferRefused,
                           "the listing is larger than any folder anyone browses", true};
        return listing;
      }
    }
    listing.folder = folder;
    return listing;
  }

 protected:
  // A page names its bucket and its key: "/index.html" alone would be a PUT of a bucket, which
  // creates one on some services.
  CURLcode PerformStore(const std::string& wireName, curl_off_t size) override {
    const std::string path = wireName.starts_with('/') ? wireName : "/" + wireName;
    const std::size_t slash = path.find('/', 1);
    if (slash == std::string::npos || slash == 1 || slash + 1 == path.size() || path.ends_with('/')) {
      return Refuse(CURLE_URL_MALFORMAT, "the file names no bucket and key (/BUCKET/KEY)");
    }
    return HttpTransport::PerformStore(path, size);
  }

  // The service's error code says more than the status: a wrong secret and a wrong key id are
  // both a 403, a missing bucket a 404.
  std::string RefusalReason() const override {
    const std::string status = HttpTransport::RefusalReason();
    const auto tree = ParseXml(answer().body);
    const std::string code = tree && tree->name == "Error" ? tree->ChildText("Code") : std::string();
    if (code.empty()) return status;
    if (code == "SignatureDoesNotMatch" || code == "InvalidAccessKeyId") {
      return "the access key or the secret is wrong (" + code + ", " + status + ")";
    }
    if (code == "NoSuchBucket") return "the bucket does not exist (" + code + ", " + status + ")";
    return code + " (" + status + ")";
  }

 private:
  // The query's names in sorted order, as the canonical request has them: libcurl 7.88 signs the
  // query as it stands.
  std::string ListUrl(const std::string& folder, const std::string& token, bool oneKey) const {
    const BucketFolder where = BucketFolderOf(folder);
    std::string query = "?";
    if (!token.empty()) query += "continuation-token=" + QueryEscaped(token) + "&";
    query += "delimiter=%2F&list-type=2";
    if (oneKey) query += "&max-keys=1";
    query += "&prefix=" + QueryEscaped(where.prefix);
    return UrlFor("/" + where.bucket) + query;
  }

  FolderListing ListBuckets(bool withEntries) {
    FolderListing listing;
    listing.outcome = OutcomeOf(Send(UrlFor("/"), nullptr, {}));
    if (!listing.outcome.done()) return listing;
    const auto tree = ParseXml(answer().body);
    const XmlElement* buckets =
        tree && tree->name == "ListAllMyBucketsResult" ? tree->Child("Buckets") : nullptr;
    if (!buckets) return Unreadable(std::move(listing));
    for (const XmlElement& bucket : buckets->children) {
      if (withEntries && bucket.name == "Bucket") listing.entries.push_back({bucket.ChildText("Name"), true});
    }
    listing.folder = "/";
    return listing;
  }

  FolderListing Unreadable(FolderListing listing) const {
    listing.outcome = {OutcomeKind::TransferRefused,
                       HttpTransport::RefusalReason() + ": no S3 listing answered", true};
    return listing;
  }
};

}  // namespace

bool IsRegionName(std::string_view region) {
  for (char c : region) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
          c == '_')) {
      return false;
    }
  }
  return true;
}

std::unique_ptr<Transport> OpenS3Transport(CurlEasy handle, const std::string& hostRoot,
                                           TransferLimits limits, const SiteLogin& login) {
  if (!IsRegionName(login.region)) return nullptr;
  return std::make_unique<S3Transport>(std::move(handle), hostRoot, limits, login);
}

}  // namespace zepa2::net
