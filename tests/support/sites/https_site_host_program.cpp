// The HTTPS site on Windows: the Linux quillreap-sample-sites that with-https-site runs
// beside the test (Wine shares the host's loopback), and the test CA added to the current
// user's root store, where WinInet's certificate check looks.
#include <windows.h>
// After windows.h, whose types it uses.
#include <wincrypt.h>

#include <cstdlib>
#include <vector>

#include "tests/support/golden_book.hpp"
#include "tests/support/sites/https_site.hpp"

namespace quillreap::test_support {

constexpr char kHostVariable[] = "QUILLREAP_HTTPS_SITE";

struct HttpsSite::Impl {
  std::string host;
};

HttpsSite::HttpsSite() : impl_(std::make_unique<Impl>()) {
  if (const char* host = std::getenv(kHostVariable)) impl_->host = host;
}
HttpsSite::~HttpsSite() = default;

std::string HttpsSite::host() const {
  return impl_->host;
}
std::string HttpsSite::why_not() const {
  if (!host().empty()) return {};
  return std::string(kHostVariable) +
         " is not set: this build serves no TLS, so the HTTPS tests need the Linux "
         "quillreap-sample-sites beside them (CTest starts it through "
         "tests/support/with-https-site; build the linux preset first)";
}

namespace {

struct StoreCloser {
  void operator()(void* store) const noexcept { CertCloseStore(store, 0); }
};
// Deleting the certificate from its store also frees the context.
struct CertificateRemover {
  void operator()(const CERT_CONTEXT* added) const noexcept {
    CertDeleteCertificateFromStore(added);
  }
};

// The DER bytes of a PEM certificate; empty when it cannot be read.
std::vector<BYTE> der_of(const std::string& pem) {
  DWORD size = 0;
  if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                            nullptr, &size, nullptr, nullptr)) {
    return {};
  }
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                            der.data(), &size, nullptr, nullptr)) {
    return {};
  }
  der.resize(size);
  return der;
}

}  // namespace

struct TrustedTestCa::Impl {
  std::unique_ptr<void, StoreCloser> store;
  std::unique_ptr<const CERT_CONTEXT, CertificateRemover> added;
  std::string why_not;

  // The CA leaves the registry again (a close alone does not write the removal), before
  // the store is closed.
  ~Impl() {
    if (!added) return;
    added.reset();
    CertControlStore(store.get(), 0, CERT_STORE_CTRL_COMMIT, nullptr);
  }
};

TrustedTestCa::TrustedTestCa(sites::SiteConfig&) : impl_(std::make_unique<Impl>()) {
  const std::vector<BYTE> der = der_of(fixture_bytes("tls/ca.pem"));
  if (der.empty()) {
    impl_->why_not = "tests/fixtures/tls/ca.pem could not be read";
    return;
  }
  impl_->store.reset(CertOpenSystemStoreA(0, "ROOT"));
  if (!impl_->store) {
    impl_->why_not = "the current user's root store did not open";
    return;
  }
  const CERT_CONTEXT* added = nullptr;
  if (!CertAddEncodedCertificateToStore(impl_->store.get(), X509_ASN_ENCODING, der.data(),
                                        static_cast<DWORD>(der.size()),
                                        CERT_STORE_ADD_REPLACE_EXISTING, &added)) {
    impl_->why_not =
        "the test CA could not be added to the root store, error " + std::to_string(GetLastError());
    return;
  }
  impl_->added.reset(added);
  // Written through to the registry now: WinInet's chain engine reads the store afresh.
  if (!CertControlStore(impl_->store.get(), 0, CERT_STORE_CTRL_COMMIT, nullptr)) {
    impl_->why_not =
        "the root store did not save the test CA, error " + std::to_string(GetLastError());
  }
}

TrustedTestCa::~TrustedTestCa() = default;

std::string TrustedTestCa::why_not() const {
  return impl_->why_not;
}

}  // namespace quillreap::test_support
