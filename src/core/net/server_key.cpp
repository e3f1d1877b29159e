#include "core/net/server_key.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <array>
#include <memory>

#include "core/net/curl_handle.h"
#include "core/net/perform_transfer.h"

namespace zepa2::net {
namespace {

constexpr std::size_t kSha256Bytes = 32;
constexpr std::size_t kPinBase64Chars = 44;  // 32 bytes in base64, one '=' of padding
// A pin no key has: learning a TLS key ends the connection right after the handshake with it.
constexpr const char* kMatchesNothing = "sha256//AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=";
constexpr long kConnectTimeoutSeconds = 10;
constexpr long kWholeTimeoutSeconds = 30;

std::string PinOfBytes(const unsigned char* data, std::size_t size) {
  std::array<unsigned char, kSha256Bytes> digest{};
  unsigned int digestSize = 0;
  EVP_Digest(data, size, digest.data(), &digestSize, EVP_sha256(), nullptr);
  std::array<unsigned char, kPinBase64Chars + 1> text{};
  const int chars = EVP_EncodeBlock(text.data(), digest.data(), static_cast<int>(digestSize));
  return std::string(kPinPrefix) + std::string(reinterpret_cast<const char*>(text.data()), chars);
}

struct BioFree {
  void operator()(BIO* b) const { BIO_free(b); }
};
struct X509Free {
  void operator()(X509* x) const { X509_free(x); }
};

// libcurl hands the host key over before any log-in; refusing it ends the connection there.
int KeepHostKey(void* pin, int /*keytype*/, const char* key, size_t keyLength) {
  *static_cast<std::string*>(pin) = PinOfHostKey(std::string_view(key, keyLength));
  return CURLKHMATCH_MISMATCH;
}

// The first certificate of the chain libcurl gathered (the server's own), in PEM.
std::optional<std::string> ServerCertificatePem(CURL* handle) {
  curl_certinfo* chain = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_CERTINFO, &chain) != CURLE_OK || !chain || chain->num_of_certs < 1) {
    return std::nullopt;
  }
  constexpr std::string_view kCert = "Cert:";
  for (curl_slist* field = chain->certinfo[0]; field; field = field->next) {
    std::string_view text(field->data);
    if (text.starts_with(kCert)) return std::string(text.substr(kCert.size()));
  }
  return std::nullopt;
}

}  // namespace

bool IsPinText(std::string_view text) {
  if (!text.starts_with(kPinPrefix)) return false;
  text.remove_prefix(kPinPrefix.size());
  if (text.size() != kPinBase64Chars || text.back() != '=') return false;
  text.remove_suffix(1);
  for (char c : text) {
    const bool base64 =
        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
    if (!base64) return false;
  }
  return true;
}

std::optional<std::string> PinOfCertificatePem(const std::string& pem) {
  std::unique_ptr<BIO, BioFree> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
  if (!bio) return std::nullopt;
  std::unique_ptr<X509, X509Free> cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
  if (!cert) return std::nullopt;
  unsigned char* der = nullptr;
  const int size = i2d_PUBKEY(X509_get0_pubkey(cert.get()), &der);
  if (size <= 0) return std::nullopt;
  std::string pin = PinOfBytes(der, static_cast<std::size_t>(size));
  OPENSSL_free(der);
  return pin;
}

std::string PinOfHostKey(std::string_view keyBlob) {
  return PinOfBytes(reinterpret_cast<const unsigned char*>(keyBlob.data()), keyBlob.size());
}

void PinTlsKey(CURL* handle, const std::string& pin) {
  if (pin.empty()) return;
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(handle, CURLOPT_PINNEDPUBLICKEY, pin.c_str());
}

KeyTrouble KeyTroubleOf(CURLcode code, bool pinned) {
  switch (code) {
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      return KeyTrouble::Changed;
    case CURLE_PEER_FAILED_VERIFICATION:  // TLS verification, or a host key unlike the pinned one
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
      return pinned ? KeyTrouble::Changed : KeyTrouble::Unverified;
    default:
      return KeyTrouble::None;
  }
}

PresentedKey LearnServerKey(const std::string& url, PinnedKeyKind kind, TransferLimits limits) {
  PresentedKey presented;
  const std::size_t schemeEnd = url.find("://");
  if (kind == PinnedKeyKind::None || schemeEnd == std::string::npos) {
    presented.reason = "no key of this kind to learn";
    return presented;
  }
  CurlEasy curl = MakeEasyHandle();
  if (!curl) return presented;
  CURL* h = curl.get();
  const bool ssh = kind == PinnedKeyKind::SshHostKey;
  const std::string scheme = url.substr(0, schemeEnd);
  std::string hostKeyPin;
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, scheme.c_str());
  curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, kWholeTimeoutSeconds);
  if (ssh) {
    curl_easy_setopt(h, CURLOPT_SSH_HOSTKEYFUNCTION, &KeepHostKey);
    curl_easy_setopt(h, CURLOPT_SSH_HOSTKEYDATA, &hostKeyPin);
  } else {
    curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(h, CURLOPT_FTPSSLAUTH, static_cast<long>(CURLFTPAUTH_TLS));
    curl_easy_setopt(h, CURLOPT_CERTINFO, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(h, CURLOPT_PINNEDPUBLICKEY, kMatchesNothing);
  }
  ApplyTransferLimits(h, &limits);
  CurlErrorBuffer errors;
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errors.text.data());
  const CURLcode code = PerformTransfer(h, limits);

  if (ssh && !hostKeyPin.empty()) {
    presented.pin = std::move(hostKeyPin);
  } else if (!ssh) {
    if (auto pem = ServerCertificatePem(h)) presented.pin = PinOfCertificatePem(*pem);
  }
  if (!presented.pin) presented.reason = CurlReason(code, errors.text.data());
  return presented;
}

}  // namespace zepa2::net
