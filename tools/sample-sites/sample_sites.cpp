// Starts the four sample-site servers and shares one read-only description of the sites
// with their handlers once every port is known.
#include "tools/sample-sites/sample_sites.hpp"

#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "sites/builtin_sites.hpp"
#include "tools/loopback/http_server.hpp"
#include "tools/sample-sites/served_sites.hpp"
#include "tools/sample-sites/site_paths.hpp"
#include "tools/sample-sites/tls_front.hpp"

namespace quillreap::sample_sites {

struct SampleSites::Impl {
  using Answer = loopback::Response (*)(const loopback::Request&, const ServedSites&);

  // Runs on a server's thread. Until the description is published (the constructor is still
  // starting servers) the sites answer 503.
  loopback::HttpServer::Handler handler(Answer answer, bool chapters) {
    return [this, answer, chapters](const loopback::Request& request) {
      if (chapters && is_chapter(request) && !take_turn()) return too_many();
      if (chapters && first_request_fails(request)) return flaky_answer(request);
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

  static bool is_chapter(const loopback::Request& request) {
    const std::vector<std::string> pieces = path_pieces(request.target);
    return pieces.size() >= 2 && chapter_number(pieces.back()) >= 1;
  }

  // Notes a chapter request's arrival; false when the one-at-a-time site is still
  // answering another.
  bool take_turn() {
    const auto now = std::chrono::steady_clock::now();
    std::lock_guard lock(mutex);
    chapter_times.push_back(now);
    if (!behaviour.one_at_a_time) return true;
    if (now < answering_until) {
      ++refused;
      return false;
    }
    answering_until = now + behaviour.delay;
    return true;
  }

  static loopback::Response too_many() {
    loopback::Response response;
    response.status = 429;
    response.reason = "Too Many Requests";
    response.body = "slow down";
    return response;
  }

  // Whether this is the first request for a chapter page the flaky sites fail once.
  bool first_request_fails(const loopback::Request& request) {
    if (behaviour.flaky_every <= 0) return false;
    const std::vector<std::string> pieces = path_pieces(request.target);
    if (pieces.size() < 2) return false;
    const int n = chapter_number(pieces.back());
    if (n < 1 || n % behaviour.flaky_every != 0) return false;
    std::lock_guard lock(mutex);
    return failed_once.insert(request.target).second;
  }

  loopback::Response flaky_answer(const loopback::Request& request) const {
    loopback::Response failure;
    const int n = chapter_number(path_pieces(request.target).back());
    if ((n / behaviour.flaky_every) % 2 == 1) {
      failure.action = loopback::Response::Action::kReset;
    } else {
      failure.status = 503;
      failure.reason = "Service Unavailable";
      failure.body = "busy";
    }
    return failure;
  }

  Behaviour behaviour;
  std::mutex mutex;
  std::shared_ptr<const ServedSites> published;
  std::set<std::string> failed_once;  // chapter targets, both sources' (their paths differ)
  std::vector<std::chrono::steady_clock::time_point> chapter_times;
  std::chrono::steady_clock::time_point answering_until{};
  int refused = 0;
  std::unique_ptr<loopback::HttpServer> search, source1, source2, source3;
  std::unique_ptr<TlsFront> source3_tls;
};

SampleSites::SampleSites(sites::SiteConfig base, Ports ports, BigBook big, Behaviour behaviour,
                         Serials serials)
    : impl_(std::make_unique<Impl>()) {
  impl_->behaviour = behaviour;
  const loopback::ServerOptions options{behaviour.delay, behaviour.keep_alive};
  impl_->search = std::make_unique<loopback::HttpServer>(
      impl_->handler(answer_search_service, false), ports.search, options);
  impl_->source1 = std::make_unique<loopback::HttpServer>(impl_->handler(answer_source1, true),
                                                          ports.source1, options);
  impl_->source2 = std::make_unique<loopback::HttpServer>(impl_->handler(answer_source2, true),
                                                          ports.source2, options);
  impl_->source3 = std::make_unique<loopback::HttpServer>(impl_->handler(answer_source3, true),
                                                          ports.source3, options);
  if (ports.source3_tls) {
    impl_->source3_tls = std::make_unique<TlsFront>(impl_->source3->port(), *ports.source3_tls);
  }
  auto sites = std::make_shared<ServedSites>();
  sites->config = std::move(base);
  sites->config.search_host = impl_->search->host();
  sites->config.source1_host = impl_->source1->host();
  sites->config.source2_host = impl_->source2->host();
  sites->config.source2_label = impl_->source2->host() + "/";
  const sites::Site source2 = sites::builtin_site(sites::kSource2Id, sites->config);
  sites->display_name = source2.value("display_name");
  for (std::size_t k = 0; k < sites->ad_sentences.size(); ++k) {
    // Appended, not "literal" + string: MinGW's GCC 12 warns falsely (-Wrestrict) on that.
    std::string name = "ad_sentence_";
    name += std::to_string(k + 1);
    sites->ad_sentences[k] = source2.value(name);
  }
  sites->serials = serials;
  sites->source1 = served_books(1, big, serials);
  sites->source2 = served_books(2, big, serials);
  sites->source3_host = impl_->source3->host();
  sites->source3 = served_books(1, big, serials);
  std::lock_guard lock(impl_->mutex);
  impl_->published = std::move(sites);
}

// The servers stop (and join their threads) before the description they read goes away.
SampleSites::~SampleSites() {
  impl_->source3_tls.reset();
  impl_->search.reset();
  impl_->source1.reset();
  impl_->source2.reset();
  impl_->source3.reset();
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

std::string SampleSites::source3_host() const {
  return impl_->source3->host();
}

std::string SampleSites::source3_tls_host() const {
  return impl_->source3_tls ? impl_->source3_tls->host() : std::string();
}

std::size_t SampleSites::accepted_connections() const {
  return impl_->search->accepted_connections() + impl_->source1->accepted_connections() +
         impl_->source2->accepted_connections() + impl_->source3->accepted_connections();
}

std::vector<std::chrono::steady_clock::time_point> SampleSites::chapter_request_times() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->chapter_times;
}

int SampleSites::too_many_requests() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->refused;
}

int SampleSites::grow_serials(int chapters) {
  std::lock_guard lock(impl_->mutex);
  auto sites = std::make_shared<ServedSites>(*impl_->published);
  sites->serials.chapters += chapters;
  for (std::vector<ServedBook>* books : {&sites->source1, &sites->source2, &sites->source3}) {
    for (ServedBook& book : *books)
      if (book.serial) book.chapter_count = sites->serials.chapters;
  }
  impl_->published = std::move(sites);
  return impl_->published->serials.chapters;
}

sites::SiteConfig SampleSites::config() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->published->config;
}

}  // namespace quillreap::sample_sites
