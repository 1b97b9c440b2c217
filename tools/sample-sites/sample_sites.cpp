// Starts the three sample-site servers and shares one read-only description of the sites
// with their handlers once every port is known.
#include "tools/sample-sites/sample_sites.hpp"

#include <mutex>

#include "tools/loopback/http_server.hpp"
#include "tools/sample-sites/served_sites.hpp"

namespace quillreap::sample_sites {

struct SampleSites::Impl {
  using Answer = loopback::Response (*)(const loopback::Request&, const ServedSites&);

  // Runs on a server's thread. Until the description is published (the constructor is still
  // starting servers) the sites answer 503.
  loopback::HttpServer::Handler handler(Answer answer) {
    return [this, answer](const loopback::Request& request) {
      std::shared_ptr<const ServedSites> sites;
      {
        std::lock_guard lock(mutex);
        sites = published;
      }
      if (!sites) {
        loopback::Response busy;
        busy.status = 503;
        busy.reason = "Service Unavailable";
        return busy;
      }
      return answer(request, *sites);
    };
  }

  std::mutex mutex;
  std::shared_ptr<const ServedSites> published;
  std::unique_ptr<loopback::HttpServer> search, source1, source2;
};

SampleSites::SampleSites(sources::SiteConfig base, Ports ports, BigBook big)
    : impl_(std::make_unique<Impl>()) {
  impl_->search =
      std::make_unique<loopback::HttpServer>(impl_->handler(answer_search_service), ports.search);
  impl_->source1 =
      std::make_unique<loopback::HttpServer>(impl_->handler(answer_source1), ports.source1);
  impl_->source2 =
      std::make_unique<loopback::HttpServer>(impl_->handler(answer_source2), ports.source2);
  auto sites = std::make_shared<ServedSites>();
  sites->config = std::move(base);
  sites->config.search_host = impl_->search->host();
  sites->config.source1_host = impl_->source1->host();
  sites->config.source2_host = impl_->source2->host();
  sites->config.source2_label = impl_->source2->host() + "/";
  sites->big = big;
  sites->source1 = served_books(1, big);
  sites->source2 = served_books(2, big);
  std::lock_guard lock(impl_->mutex);
  impl_->published = std::move(sites);
}

// The servers stop (and join their threads) before the description they read goes away.
SampleSites::~SampleSites() {
  impl_->search.reset();
  impl_->source1.reset();
  impl_->source2.reset();
}

std::string SampleSites::search_host() const {
  return impl_->search->host();
}
std::string SampleSites::source1_host() const {
  return impl_->source1->host();
}
std::string SampleSites::source2_host() const {
  return impl_->source2->host();
}

sources::SiteConfig SampleSites::config() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->published->config;
}

}  // namespace quillreap::sample_sites
