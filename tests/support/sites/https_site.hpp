// Source 3 of the sample sites over TLS with the test certificate, and trust in the test
// CA while a test needs it. On Linux the sites run in the test's own process. The Windows
// build serves no TLS, so its tests use the Linux quillreap-sample-sites, which
// with-https-site starts beside them and names in QUILLREAP_HTTPS_SITE.
#pragma once

#include <memory>
#include <string>

#include "sites/site_config.hpp"

namespace quillreap::test_support {

class HttpsSite {
 public:
  HttpsSite();
  ~HttpsSite();
  HttpsSite(const HttpsSite&) = delete;
  HttpsSite& operator=(const HttpsSite&) = delete;

  // "127.0.0.1:PORT"; "" when there is no such site, and then why_not() says why.
  std::string host() const;
  std::string why_not() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// While it lives, fetches made with config trust tests/fixtures/tls/ca.pem: through
// config.ca_file on libcurl, in the current user's root store on WinInet (taken out again
// at the end).
class TrustedTestCa {
 public:
  explicit TrustedTestCa(sites::SiteConfig& config);
  ~TrustedTestCa();
  TrustedTestCa(const TrustedTestCa&) = delete;
  TrustedTestCa& operator=(const TrustedTestCa&) = delete;

  // "" when the CA is trusted; else why not.
  std::string why_not() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillreap::test_support
