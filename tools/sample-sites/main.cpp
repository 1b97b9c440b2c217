// quillreap-sample-sites: runs the bundled sample sites on 127.0.0.1 until interrupted
// (Ctrl+C or SIGTERM), for demos and end-to-end benchmarks.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <variant>

#include "tools/sample-sites/faults.hpp"
#include "tools/sample-sites/sample_sites.hpp"
#include "tools/sample-sites/tls_front.hpp"

namespace {

volatile std::sig_atomic_t stop_requested = 0;
volatile std::sig_atomic_t count_requested = 0;
volatile std::sig_atomic_t growth_requested = 0;

extern "C" void on_signal(int) {
  stop_requested = 1;
}

extern "C" void on_count_signal(int) {
  count_requested = 1;
}

extern "C" void on_growth_signal(int) {
  growth_requested = 1;
}

constexpr char kUsage[] =
    "usage: quillreap-sample-sites [--search-port N] [--source1-port N] [--source2-port N]\n"
    "                              [--source3-port N] [--source3-tls-port N]\n"
    "                              [--big-chapters N] [--big-chapter-bytes N]\n"
    "                              [--delay-ms D] [--flaky K] [--keep-alive]\n"
    "                              [--count-connections]\n"
    "                              [--serials N [--serial-chapters M] [--grow-every S]]\n"
    "       quillreap-sample-sites --faults [--fault-port N]\n"
    "Serves the site-search service, source 1, source 2 and source 3 (the site of the\n"
    "worked example in docs/sites.md) on 127.0.0.1 (ports 18061, 18062, 18063, 18064 by\n"
    "default; 0 picks a free port), and source 3 over TLS with the test certificate on\n"
    "18066 (--source3-tls-port; the Linux build only). With --big-chapters the sites also list\n"
    "the benchmark book (search word: the GBK bytes of \"\xE6\xB5\x8B\xE8\xAF\x95\xE5\xB7\xA8"
    "\xE8\x91\x97\") of N chapters of --big-chapter-bytes bytes each (default 10000).\n"
    "--delay-ms D holds every answer D ms (other connections are served meanwhile);\n"
    "--flaky K fails the first request for every K-th chapter page (a reset or a 503 in\n"
    "turn; asked again, the page comes); --keep-alive keeps connections open between pages.\n"
    "--count-connections prints \"connections N chapters C\" (connections accepted and\n"
    "chapter pages asked for so far) on each SIGUSR1.\n"
    "--serials N also lists N serials (search word: the GBK bytes of "
    "\"\xE8\xBF\x9E\xE8\xBD\xBD\"),\n"
    "each of M chapters (--serial-chapters, default 10) that grow by one chapter every S\n"
    "seconds (--grow-every) and on each SIGUSR2, printing \"serials M\" (chapters each now).\n"
    "With --faults it serves instead the fault site on port 18065 (--fault-port): both\n"
    "sources' markup on one host, one misbehaving book per fault, listed at start.\n";

bool read_number(const char* text, long max, long& out) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (!end || *end != '\0' || end == text || value < 0 || value > max) return false;
  out = value;
  return true;
}

// What the command line asked for.
struct Options {
  quillreap::sample_sites::Ports ports{18061, 18062, 18063, 18064,
                                       quillreap::sample_sites::TlsFront::available()
                                           ? std::optional<std::uint16_t>(18066)
                                           : std::nullopt};
  quillreap::sample_sites::BigBook big{0, 10000};
  quillreap::sample_sites::Behaviour behaviour;
  quillreap::sample_sites::Serials serials{0, 10};
  std::chrono::seconds grow_every{0};
  bool faults = false;
  bool count_connections = false;
  long fault_port = 18065;
};

// The options, or the exit code when the run ends here: 0 after --help, 2 after a bad
// option.
std::variant<Options, int> parse_options(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string_view option = argv[i];
    long value = 0;
    bool has_value = i + 1 < argc;
    if (option == "--help" || option == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (option == "--search-port" && has_value && read_number(argv[++i], 65535, value)) {
      o.ports.search = static_cast<std::uint16_t>(value);
    } else if (option == "--source1-port" && has_value && read_number(argv[++i], 65535, value)) {
      o.ports.source1 = static_cast<std::uint16_t>(value);
    } else if (option == "--source2-port" && has_value && read_number(argv[++i], 65535, value)) {
      o.ports.source2 = static_cast<std::uint16_t>(value);
    } else if (option == "--source3-port" && has_value && read_number(argv[++i], 65535, value)) {
      o.ports.source3 = static_cast<std::uint16_t>(value);
    } else if (option == "--source3-tls-port" && has_value &&
               read_number(argv[++i], 65535, value)) {
      if (!quillreap::sample_sites::TlsFront::available()) {
        std::fputs("quillreap-sample-sites: this build serves no TLS (the Linux build does)\n",
                   stderr);
        return 2;
      }
      o.ports.source3_tls = static_cast<std::uint16_t>(value);
    } else if (option == "--big-chapters" && has_value && read_number(argv[++i], 1000000, value)) {
      o.big.chapters = static_cast<int>(value);
    } else if (option == "--big-chapter-bytes" && has_value &&
               read_number(argv[++i], 100000000, value)) {
      o.big.chapter_bytes = static_cast<int>(value);
    } else if (option == "--delay-ms" && has_value && read_number(argv[++i], 600000, value)) {
      o.behaviour.delay = std::chrono::milliseconds(value);
    } else if (option == "--flaky" && has_value && read_number(argv[++i], 1000000, value)) {
      o.behaviour.flaky_every = static_cast<int>(value);
    } else if (option == "--keep-alive") {
      o.behaviour.keep_alive = true;
    } else if (option == "--serials" && has_value && read_number(argv[++i], 9999, value)) {
      o.serials.books = static_cast<int>(value);
    } else if (option == "--serial-chapters" && has_value &&
               read_number(argv[++i], 1000000, value)) {
      o.serials.chapters = static_cast<int>(value);
    } else if (option == "--grow-every" && has_value && read_number(argv[++i], 86400, value) &&
               value > 0) {
      o.grow_every = std::chrono::seconds(value);
    } else if (option == "--count-connections") {
      o.count_connections = true;
    } else if (option == "--faults") {
      o.faults = true;
    } else if (option == "--fault-port" && has_value && read_number(argv[++i], 65535, value)) {
      o.fault_port = value;
    } else {
      std::fprintf(stderr, "quillreap-sample-sites: bad option %s\n%s", argv[i], kUsage);
      return 2;
    }
  }
  if (o.grow_every.count() > 0 && o.serials.books == 0) {
    std::fprintf(stderr, "quillreap-sample-sites: --grow-every needs --serials\n%s", kUsage);
    return 2;
  }
  return o;
}

// Ctrl+C and SIGTERM end the run; SIGUSR1 asks for the counts and SIGUSR2 grows the
// serials, each only on request: otherwise they keep their default meaning. Windows has
// no such signals, so there the benchmarks' counting is not offered (the serials still
// grow with --grow-every). False when the counting cannot be had.
bool handle_signals(bool count_connections, bool serials) {
  std::signal(SIGINT, on_signal);
  std::signal(SIGTERM, on_signal);
#ifdef SIGUSR1
  if (count_connections) std::signal(SIGUSR1, on_count_signal);
  if (serials) std::signal(SIGUSR2, on_growth_signal);
#else
  (void)serials;
  if (count_connections) {
    std::fputs("quillreap-sample-sites: --count-connections needs SIGUSR1\n", stderr);
    return false;
  }
#endif
  return true;
}

void serve_faults(long port) {
  quillreap::sample_sites::FaultSites site(static_cast<std::uint16_t>(port));
  std::printf("faults  %s (refused: %s)\n", site.host().c_str(), site.refused_host().c_str());
  for (const auto& fault : quillreap::sample_sites::faults())
    std::printf("  %-22s %s\n", std::string(fault.name).c_str(), std::string(fault.what).c_str());
  std::printf("book pages: http://%s/FAULT/s1/book and /FAULT/s2/book; search words: FAULT\n",
              site.host().c_str());
  std::fflush(stdout);
  while (!stop_requested) std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

void serve_sample_sites(const Options& o) {
  quillreap::sample_sites::SampleSites sites(quillreap::sites::SiteConfig::defaults(), o.ports,
                                             o.big, o.behaviour, o.serials);
  std::printf("search  %s\nsource1 %s\nsource2 %s\nsource3 %s\n", sites.search_host().c_str(),
              sites.source1_host().c_str(), sites.source2_host().c_str(),
              sites.source3_host().c_str());
  if (!sites.source3_tls_host().empty()) {
    std::printf("source3-tls %s\n", sites.source3_tls_host().c_str());
  }
  std::fflush(stdout);
  // A benchmark waits for each answer to its signal, so those are looked for often.
  const bool signalled = o.count_connections || o.serials.books > 0;
  auto next_growth = std::chrono::steady_clock::now() + o.grow_every;
  while (!stop_requested) {
    std::this_thread::sleep_for(std::chrono::milliseconds(signalled ? 5 : 100));
    // Without --keep-alive every connection carries one request, so benchmarks count the
    // pages a client fetched from the difference of two counts.
    if (count_requested) {
      count_requested = 0;
      std::printf("connections %zu chapters %zu\n", sites.accepted_connections(),
                  sites.chapter_request_times().size());
      std::fflush(stdout);
    }
    const bool due = o.grow_every.count() > 0 && std::chrono::steady_clock::now() >= next_growth;
    if (growth_requested || due) {
      growth_requested = 0;
      if (due) next_growth += o.grow_every;
      std::printf("serials %d\n", sites.grow_serials());
      std::fflush(stdout);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::variant<Options, int> parsed = parse_options(argc, argv);
  if (const int* exit_code = std::get_if<int>(&parsed)) return *exit_code;
  const Options& options = std::get<Options>(parsed);
  if (!handle_signals(options.count_connections, options.serials.books > 0)) return 2;
  try {
    if (options.faults) {
      serve_faults(options.fault_port);
    } else {
      serve_sample_sites(options);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "quillreap-sample-sites: %s\n", error.what());
    return 1;
  }
  return 0;
}
