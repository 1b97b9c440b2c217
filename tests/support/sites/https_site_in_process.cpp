// The HTTPS site on Linux: the sample sites in this process, source 3 over TLS on a free
// port; libcurl is pointed at the test CA through the fetch setting.
#include "tests/support/sites/https_site.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::test_support {

struct HttpsSite::Impl {
  sample_sites::SampleSites sites{sites::SiteConfig::defaults(), {0, 0, 0, 0, 0}};
};

HttpsSite::HttpsSite() : impl_(std::make_unique<Impl>()) {}
HttpsSite::~HttpsSite() = default;

std::string HttpsSite::host() const {
  return impl_->sites.source3_tls_host();
}
std::string HttpsSite::why_not() const {
  return host().empty() ? "the sample sites serve no TLS" : "";
}

struct TrustedTestCa::Impl {
  sites::SiteConfig& config;
};

TrustedTestCa::TrustedTestCa(sites::SiteConfig& config) : impl_(new Impl{config}) {
  config.ca_file = QUILLREAP_FIXTURES_DIR "/tls/ca.pem";
}
TrustedTestCa::~TrustedTestCa() {
  impl_->config.ca_file.clear();
}

std::string TrustedTestCa::why_not() const {
  return {};
}

}  // namespace quillreap::test_support
