// libcrypto for the window, mapped on the first call instead of at start.
//
// The window needs OpenSSL only to turn a server's key into a pin, which happens during or right
// after a transfer, when libcurl has already mapped libcrypto for its TLS; linking it at start
// would map it (over a MiB) for a window that may only sit in the tray. As for libcurl (see
// curl_on_demand.cpp), the window links these stand-ins for the few calls server_key.cpp makes;
// the first opens the real library and every call forwards to it. zepa2-check links libcrypto.
// Without the library every call fails the way OpenSSL reports failure, so no pin is made.
#include <openssl/bio.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include "core/net/on_demand/library_calls.h"

namespace {

using zepa2::on_demand::Find;

struct CryptoCalls {
  int (*digest)(const void*, size_t, unsigned char*, unsigned int*, const EVP_MD*, ENGINE*);
  const EVP_MD* (*sha256)();
  int (*encode_block)(unsigned char*, const unsigned char*, int);
  BIO* (*bio_new_mem_buf)(const void*, int);
  int (*bio_free)(BIO*);
  X509* (*pem_read_bio_x509)(BIO*, X509**, pem_password_cb*, void*);
  void (*x509_free)(X509*);
  EVP_PKEY* (*x509_get0_pubkey)(const X509*);
  int (*i2d_pubkey)(const EVP_PKEY*, unsigned char**);
  void (*crypto_free)(void*, const char*, int);
};

CryptoCalls Open() {
  CryptoCalls c{};
  // Never closed: libcurl's TLS shares the same library and its global state.
  void* library = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
  if (!library) return c;
  const bool complete =
      Find(library, "EVP_Digest", c.digest) && Find(library, "EVP_sha256", c.sha256) &&
      Find(library, "EVP_EncodeBlock", c.encode_block) &&
      Find(library, "BIO_new_mem_buf", c.bio_new_mem_buf) && Find(library, "BIO_free", c.bio_free) &&
      Find(library, "PEM_read_bio_X509", c.pem_read_bio_x509) && Find(library, "X509_free", c.x509_free) &&
      Find(library, "X509_get0_pubkey", c.x509_get0_pubkey) && Find(library, "i2d_PUBKEY", c.i2d_pubkey) &&
      Find(library, "CRYPTO_free", c.crypto_free);
  return complete ? c : CryptoCalls{};
}

const CryptoCalls& Crypto() {
  static const CryptoCalls calls = Open();  // thread-safe, once
  return calls;
}

bool Loaded() { return Crypto().digest != nullptr; }

}  // namespace

// Each call checks for the library: none of them is reached only through an object it made.
extern "C" {

int EVP_Digest(const void* data, size_t count, unsigned char* md, unsigned int* size, const EVP_MD* type,
               ENGINE* impl) {
  return Loaded() ? Crypto().digest(data, count, md, size, type, impl) : 0;
}
const EVP_MD* EVP_sha256() { return Loaded() ? Crypto().sha256() : nullptr; }
int EVP_EncodeBlock(unsigned char* to, const unsigned char* from, int size) {
  return Loaded() ? Crypto().encode_block(to, from, size) : 0;
}
BIO* BIO_new_mem_buf(const void* buffer, int size) {
  return Loaded() ? Crypto().bio_new_mem_buf(buffer, size) : nullptr;
}
int BIO_free(BIO* bio) { return Loaded() && bio ? Crypto().bio_free(bio) : 0; }
X509* PEM_read_bio_X509(BIO* bio, X509** into, pem_password_cb* callback, void* data) {
  return Loaded() ? Crypto().pem_read_bio_x509(bio, into, callback, data) : nullptr;
}
void X509_free(X509* certificate) {
  if (Loaded() && certificate) Crypto().x509_free(certificate);
}
EVP_PKEY* X509_get0_pubkey(const X509* certificate) {
  return Loaded() ? Crypto().x509_get0_pubkey(certificate) : nullptr;
}
int i2d_PUBKEY(const EVP_PKEY* key, unsigned char** out) {
  return Loaded() ? Crypto().i2d_pubkey(key, out) : -1;
}
void CRYPTO_free(void* memory, const char* file, int line) {
  if (Loaded() && memory) Crypto().crypto_free(memory, file, line);
}

}  // extern "C"
