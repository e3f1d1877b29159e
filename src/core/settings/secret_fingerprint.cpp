#include "core/settings/secret_fingerprint.h"

#include <openssl/evp.h>
#include <sys/random.h>

#include <array>

#include "core/settings/private_file_write.h"
#include "core/sys/read_file.h"
#include "core/sys/xdg_paths.h"
#include "core/text/hex_escape.h"

namespace zepa2 {
namespace {

constexpr std::size_t kKeyBytes = 32;

std::optional<std::string> ReadKey(const std::filesystem::path& keyFile) {
  BoundedRead read = ReadBoundedFile(keyFile, 4 * kKeyBytes);
  if (!read.read() || read.bytes.size() != kKeyBytes) return std::nullopt;
  return std::move(read.bytes);
}

// The key of the file, made when there is none. A second program that makes one at the same
// moment wins the rename; both then read the one that stands.
std::optional<std::string> KeyOf(const std::filesystem::path& keyFile) {
  if (auto key = ReadKey(keyFile)) return key;
  std::array<char, kKeyBytes> random{};
  if (getrandom(random.data(), random.size(), 0) != static_cast<ssize_t>(random.size())) return std::nullopt;
  if (!WritePrivateFileAtomically(keyFile, std::string_view(random.data(), random.size())).ok())
    return std::nullopt;
  return ReadKey(keyFile);
}

}  // namespace

std::filesystem::path SecretFingerprintKeyFile() { return XdgStateHome() / "ZEPA" / "secret-key"; }

std::optional<std::string> SecretFingerprint(std::string_view secret, const std::filesystem::path& keyFile) {
  const std::optional<std::string> key = KeyOf(keyFile);
  if (!key) return std::nullopt;
  // The key has a fixed length, so key and secret cannot trade bytes.
  const std::string keyed = *key + std::string(secret);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_Digest(keyed.data(), keyed.size(), digest, &size, EVP_sha256(), nullptr) != 1) return std::nullopt;
  std::string hex;
  for (unsigned int i = 0; i < size; ++i) AppendHexByte(hex, "", digest[i], HexCase::Lower);
  return hex;
}

}  // namespace zepa2
