// The Linux transport: libcurl, one easy handle per fetch, giving fetch_page the same wire
// behaviour as WinInet: the request target byte for byte, one cookie jar for the process,
// no redirects followed by curl (fetch_page follows them), no decompression.
#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "http/destination.hpp"
#include "http/timeouts.hpp"
#include "http/transport.hpp"

namespace quillreap::http::transport {

namespace {

// The process's shared state: one connection cache, so consecutive pages on a host go over
// one kept-alive connection, and one cookie jar. A fetch with cookie text of its caller's
// must not see the jar, and a share that holds cookies switches the jar on for every handle
// it is given, so there are two shares: connections and cookies for the usual fetch,
// connections only for the other. Set up at the first fetch, kept for the process.
class Shares {
 public:
  Shares() {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    ok_ = set_up(with_cookies_, true) && set_up(connections_only_, false);
  }
  ~Shares() {
    curl_share_cleanup(with_cookies_);
    curl_share_cleanup(connections_only_);
  }
  Shares(const Shares&) = delete;
  Shares& operator=(const Shares&) = delete;

  // Null when the library refused to set a share up.
  CURLSH* share(bool cookies) const {
    if (!ok_) return nullptr;
    return cookies ? with_cookies_ : connections_only_;
  }

 private:
  // One mutex per kind of data per share, as the share's locking asks: the callbacks may
  // hold one kind while taking another.
  struct Locks {
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes;
  };

  static void lock(CURL*, curl_lock_data data, curl_lock_access, void* locks) {
    static_cast<Locks*>(locks)->mutexes[data % CURL_LOCK_DATA_LAST].lock();
  }
  static void unlock(CURL*, curl_lock_data data, void* locks) {
    static_cast<Locks*>(locks)->mutexes[data % CURL_LOCK_DATA_LAST].unlock();
  }

  bool set_up(CURLSH*& share, bool cookies) {
    share = curl_share_init();
    if (!share) return false;
    Locks& locks = cookies ? cookie_locks_ : connection_locks_;
    bool ok = curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &Shares::lock) == CURLSHE_OK &&
              curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &Shares::unlock) == CURLSHE_OK &&
              curl_share_setopt(share, CURLSHOPT_USERDATA, &locks) == CURLSHE_OK &&
              curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) == CURLSHE_OK;
    if (ok && cookies) {
      ok = curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) == CURLSHE_OK;
    }
    return ok;
  }

  // The locks are declared first so they outlive the shares that call into them.
  Locks cookie_locks_;
  Locks connection_locks_;
  CURLSH* with_cookies_ = nullptr;
  CURLSH* connections_only_ = nullptr;
  bool ok_ = false;
};

Shares& shares() {
  static Shares shared;  // also runs curl_global_init once, before any easy handle
  return shared;
}

struct CurlCloser {
  void operator()(CURL* curl) const noexcept { curl_easy_cleanup(curl); }
};
using CurlHandle = std::unique_ptr<CURL, CurlCloser>;

struct HeaderListFreer {
  void operator()(curl_slist* list) const noexcept { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, HeaderListFreer>;

bool starts_with(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The path as curl's URL parser accepts it; only used for cookie paths, never sent.
std::string escaped_for_url(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F || c == '#' || c == '"' || c == '<' || c == '>' || c == '\\' ||
        c == '^' || c == '`' || c == '{' || c == '|' || c == '}') {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  return out;
}

// WinInet sends the path's bytes raw except the space.
std::string request_target(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == ' ') {
      out += "%20";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

struct Internet {
  std::string user_agent;
  bool has_user_agent = false;
  std::string proxy;  // "" for a direct connection
  bool proxy_plain_only = false;
  std::string ca_file;   // "" for the system's CAs
  std::stop_token stop;  // the download's, or one that is never requested
};

struct Connection {
  const Internet* internet = nullptr;
  std::string host;
  int port = 0;
};

struct Request {
  const Internet* internet = nullptr;
  Destination destination;  // from the connection and request handles
  std::string target;       // the request target as sent, origin form
  std::string url;          // what curl is given
  std::string verb;
  std::uint32_t flags = 0;
  CurlHandle curl;

  // The exchange.
  std::string raw_headers;
  int status = 0;
  std::vector<unsigned char> body;
  bool stop_after_head = false;  // a HEAD sent with a body: curl would wait for one back
  bool stopped_after_head = false;
  Timeouts timeouts;       // the fetch's
  bool connected = false;  // until then only the connect time-out applies
  std::chrono::steady_clock::time_point last_activity;
  curl_off_t upload_size = 0;
  curl_off_t uploaded = 0;

  // Handing the final body out.
  std::size_t read_position = 0;
  bool transfer_failed = false;
  Failure failure = Failure::kNone;
};
// The handles are plain objects here: nothing is opened until the send.

namespace {

// Easy handles of finished requests, kept for the next ones. A new handle makes, at its
// first transfer, the multi handle and socket pair curl_easy_perform works through, and its
// cleanup takes them down again: on a kept-alive connection that cost as much as the page
// itself. curl_easy_reset clears every option and keeps only those, the shares and
// connections; each request sets all of its options again. Kept per process beside the
// shares, as the connection cache is, and no more than a download has threads.
class IdleHandles {
 public:
  static constexpr std::size_t kMostKept = 16;

  IdleHandles() { shares(); }  // constructed after the shares, so emptied before them

  CurlHandle take() {
    {
      std::lock_guard lock(mutex_);
      if (!idle_.empty()) {
        CurlHandle handle = std::move(idle_.back());
        idle_.pop_back();
        curl_easy_reset(handle.get());
        return handle;
      }
    }
    return CurlHandle(curl_easy_init());
  }

  void put_back(CurlHandle handle) noexcept {
    if (!handle) return;
    // curl_easy_reset forgets the list of cookie files without freeing it; clearing it
    // first frees it, and leaves the jar itself in its share.
    curl_easy_setopt(handle.get(), CURLOPT_COOKIEFILE, static_cast<const char*>(nullptr));
    std::lock_guard lock(mutex_);
    if (idle_.size() >= kMostKept) return;  // the handle is cleaned up on the way out
    try {
      idle_.push_back(std::move(handle));
    } catch (...) {
      // No room for it: it is cleaned up instead.
    }
  }

 private:
  std::mutex mutex_;
  std::vector<CurlHandle> idle_;
};

IdleHandles& idle_handles() {
  static IdleHandles idle;
  return idle;
}

}  // namespace

void InternetCloser::operator()(Internet* handle) const noexcept {
  delete handle;
}
void ConnectionCloser::operator()(Connection* handle) const noexcept {
  delete handle;
}
void RequestCloser::operator()(Request* handle) const noexcept {
  idle_handles().put_back(std::move(handle->curl));
  delete handle;
}

namespace {

// ":" + port is appended in two steps: GCC 12 misreads the concatenation of a literal and a
// temporary string as an overlapping copy (-Wrestrict) in optimised builds.
std::string port_suffix(int port) {
  if (port == 0) return {};
  std::string suffix = ":";
  suffix.append(std::to_string(port));
  return suffix;
}

void fill_url(Request& request) {
  const Destination& d = request.destination;
  request.url = d.secure ? "https://" : "http://";
  request.url.append(d.host).append(port_suffix(d.port)).append(escaped_for_url(request.target));
}

size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto& request = *static_cast<Request*>(user);
  const size_t length = size * count;
  request.last_activity = std::chrono::steady_clock::now();
  std::string_view line(data, length);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (starts_with(line, "HTTP/")) {
    // A new response (an interim 100, or a proxy's CONNECT answer, came before).
    request.raw_headers.clear();
    const size_t space = line.find(' ');
    request.status = space == std::string_view::npos
                         ? 0
                         : std::atoi(std::string(line.substr(space + 1, 3)).c_str());
  }
  request.raw_headers.append(line);
  request.raw_headers += "\r\n";
  if (line.empty() && request.stop_after_head && request.status >= 200) {
    request.stopped_after_head = true;
    return 0;  // ends the transfer: a HEAD answer has no body to wait for
  }
  return length;
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
  auto& request = *static_cast<Request*>(user);
  request.last_activity = std::chrono::steady_clock::now();
  request.body.insert(request.body.end(), data, data + size * count);
  return size * count;
}

// The connection stands (new or kept alive): from here on the send and receive time-outs
// count.
int on_connected(void* user, char*, char*, int, int) {
  auto& request = *static_cast<Request*>(user);
  request.connected = true;
  request.last_activity = std::chrono::steady_clock::now();
  return CURL_PREREQFUNC_OK;
}

// Called at least about once a second while the transfer runs: gives up when nothing has
// gone out for the send time-out while the body is sent, or nothing has come in for the
// receive time-out after it.
int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto& request = *static_cast<Request*>(user);
  const auto now = std::chrono::steady_clock::now();
  if (uploaded != request.uploaded) {
    request.uploaded = uploaded;
    request.last_activity = now;
  }
  // A stopped download drops its pages in flight rather than wait for them.
  if (request.internet->stop.stop_requested()) return 1;
  if (!request.connected) return 0;
  const auto limit =
      request.uploaded < request.upload_size ? request.timeouts.send : request.timeouts.receive;
  return now - request.last_activity > limit ? 1 : 0;
}

// The header block goes out line by line as given; curl must add nothing of its own but
// Host and Content-Length.
HeaderList header_list(std::string_view block) {
  curl_slist* list = nullptr;
  bool has_expect = false;
  size_t start = 0;
  while (start <= block.size()) {
    size_t end = block.find("\r\n", start);
    if (end == std::string_view::npos) end = block.size();
    std::string line(block.substr(start, end - start));
    start = end + 2;
    if (line.empty()) continue;
    const size_t colon = line.find(':');
    if (colon != std::string::npos) {
      // curl reads "Name:" as "drop this header"; "Name;" sends it empty.
      if (line.find_first_not_of(' ', colon + 1) == std::string::npos) {
        line = line.substr(0, colon) + ";";
      }
      if (curl_strnequal(line.c_str(), "Expect", 6) && colon == 6) has_expect = true;
    }
    list = curl_slist_append(list, line.c_str());
  }
  if (!has_expect) list = curl_slist_append(list, "Expect:");
  return HeaderList(list);
}

// Sets options one after another and keeps the first one the library refused: a fetch
// must not go out with a setting silently missing.
struct Options {
  CURL* curl;
  CURLcode first_refusal = CURLE_OK;

  template <typename Value>
  void operator()(CURLoption option, Value value) {
    const CURLcode code = curl_easy_setopt(curl, option, value);
    if (first_refusal == CURLE_OK) first_refusal = code;
  }
};

// The fetch's settings. The reload and
// need-file flags ask nothing of curl: it keeps no cache, every page comes from the server.
// No Accept-Encoding is set, so nothing is asked for compressed or decompressed.
CURLcode configure_fetch(Request& request, const HeaderList& headers) {
  Options set{request.curl.get()};
  const Internet& internet = *request.internet;
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  // curl's defaults, stated so that no later change can loosen them: the certificate must
  // chain to a trusted CA and name the host.
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  if (!internet.ca_file.empty()) set(CURLOPT_CAINFO, internet.ca_file.c_str());
  if (internet.has_user_agent) {
    set(CURLOPT_USERAGENT, internet.user_agent.c_str());
  }
  set(CURLOPT_HTTPHEADER, headers.get());
  const bool jar = !(request.flags & kFlagNoCookies);
  CURLSH* share = shares().share(jar);
  if (!share) return CURLE_FAILED_INIT;
  set(CURLOPT_SHARE, share);
  if (jar) set(CURLOPT_COOKIEFILE, "");
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.timeouts.connect.count()));
  set(CURLOPT_PREREQFUNCTION, &on_connected);
  set(CURLOPT_PREREQDATA, &request);
  set(CURLOPT_NOPROGRESS, 0L);
  set(CURLOPT_XFERINFOFUNCTION, &on_progress);
  set(CURLOPT_XFERINFODATA, &request);
  set(CURLOPT_HEADERFUNCTION, &on_header);
  set(CURLOPT_HEADERDATA, &request);
  set(CURLOPT_WRITEFUNCTION, &on_body);
  set(CURLOPT_WRITEDATA, &request);
  return set.first_refusal;
}

// Where this exchange goes and with which verb and body.
CURLcode configure_exchange(Request& request, const std::string& verb, const unsigned char* body,
                            std::uint32_t body_length) {
  Options set{request.curl.get()};
  const Internet& internet = *request.internet;
  const Destination& d = request.destination;
  set(CURLOPT_URL, request.url.c_str());
  const bool proxied = !internet.proxy.empty() && !(d.secure && internet.proxy_plain_only);
  // An empty proxy also keeps curl from taking one from the environment.
  set(CURLOPT_PROXY, proxied ? internet.proxy.c_str() : "");
  std::string target = request.target;
  if (proxied && !d.secure) {
    // A plain request through a proxy names the whole address.
    target = std::string("http://").append(d.host).append(port_suffix(d.port)).append(target);
  }
  set(CURLOPT_REQUEST_TARGET, target.c_str());  // curl copies it

  request.stop_after_head = false;
  request.upload_size = 0;
  if (verb == "GET") {
    set(CURLOPT_HTTPGET, 1L);
  } else if (verb == "HEAD" && body_length == 0) {
    set(CURLOPT_NOBODY, 1L);
  } else {
    request.upload_size = static_cast<curl_off_t>(body_length);
    set(CURLOPT_POSTFIELDSIZE_LARGE, request.upload_size);
    set(CURLOPT_POSTFIELDS, body ? static_cast<const void*>(body) : "");
    if (verb != "POST") {
      set(CURLOPT_CUSTOMREQUEST, verb.c_str());
      request.stop_after_head = verb == "HEAD";
    }
  }
  return set.first_refusal;
}

// What a failed transfer means to the caller. A refused connect and one that found no
// route share curl's code; the socket's own error tells them apart.
Failure failure_of(CURL* curl, CURLcode outcome) {
  switch (outcome) {
    case CURLE_OK:
      return Failure::kNone;
    case CURLE_COULDNT_CONNECT: {
      long os_error = 0;
      curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &os_error);
      return os_error == ECONNREFUSED ? Failure::kRefused : Failure::kNoConnection;
    }
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return Failure::kNoConnection;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_ABORTED_BY_CALLBACK:  // the send or receive time-out (or the stop)
      return Failure::kTimeout;
    case CURLE_PARTIAL_FILE:
      return Failure::kCutShort;
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_SSL_CONNECT_ERROR:
      return Failure::kReset;
    case CURLE_TOO_MANY_REDIRECTS:
      return Failure::kTooManyRedirects;
    case CURLE_PEER_FAILED_VERIFICATION:
      return Failure::kUntrustedCertificate;
    case CURLE_SSL_CACERT_BADFILE:  // the CA file could not be read
    case CURLE_OUT_OF_MEMORY:
    case CURLE_FAILED_INIT:
    case CURLE_UNKNOWN_OPTION:
    case CURLE_NOT_BUILT_IN:
    case CURLE_BAD_FUNCTION_ARGUMENT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      return Failure::kClient;
    default:
      return Failure::kNoConnection;
  }
}

}  // namespace

// The time-outs are the request's: every call of one exchange is given the same.
InternetHandle open_internet(const char* user_agent, const char* proxy, const char* ca_file,
                             const Timeouts&, std::stop_token stop) {
  shares();
  auto internet = std::make_unique<Internet>();
  internet->stop = std::move(stop);
  internet->has_user_agent = user_agent != nullptr;
  if (user_agent) internet->user_agent = user_agent;
  if (ca_file) internet->ca_file = ca_file;
  if (proxy) {
    std::string_view setting(proxy);
    internet->proxy_plain_only = starts_with(setting, "http=");
    if (internet->proxy_plain_only) setting.remove_prefix(5);
    internet->proxy = setting;
  }
  return InternetHandle(internet.release());
}

ConnectionHandle connect(Internet& internet, const char* host, std::int32_t port, const Timeouts&) {
  auto connection = std::make_unique<Connection>();
  connection->internet = &internet;
  connection->host = host;
  // WinInet takes the port as 16 bits, and 0 as the scheme's default.
  connection->port = static_cast<std::uint16_t>(port);
  return ConnectionHandle(connection.release());
}

RequestHandle open_request(Connection& connection, const char* verb, const char* path, const char*,
                           std::uint32_t flags, const Timeouts& timeouts) {
  CurlHandle curl = idle_handles().take();
  if (!curl) return nullptr;
  auto request = std::make_unique<Request>();
  request->internet = connection.internet;
  request->curl = std::move(curl);
  request->verb = verb;
  request->flags = flags;
  request->timeouts = timeouts;
  request->destination.secure = (flags & kFlagSecure) != 0;
  request->destination.host = connection.host;
  request->destination.port = connection.port;
  request->destination.path = path;
  request->target = request_target(path);
  fill_url(*request);
  return RequestHandle(request.release());
}

// One exchange: fetch_page follows redirects itself, so the same hops are taken on every
// platform.
bool send_request(Request& request, std::string_view headers, const unsigned char* body,
                  std::uint32_t body_length, const Timeouts&, Failure* failure) {
  const HeaderList list = header_list(headers);
  CURLcode outcome = configure_fetch(request, list);
  if (outcome == CURLE_OK) outcome = configure_exchange(request, request.verb, body, body_length);
  if (outcome != CURLE_OK) {
    *failure = Failure::kClient;
    return false;
  }
  request.connected = false;
  request.last_activity = std::chrono::steady_clock::now();
  outcome = curl_easy_perform(request.curl.get());
  if (request.stopped_after_head) outcome = CURLE_OK;
  request.transfer_failed = outcome != CURLE_OK;
  if (request.transfer_failed) request.failure = failure_of(request.curl.get(), outcome);
  if (request.status == 0) *failure = request.failure;
  return request.status != 0;
}

bool read_response(Request& request, unsigned char* buffer, std::uint32_t size,
                   std::uint32_t* count, const Timeouts&, Failure* failure) {
  const size_t left = request.body.size() - request.read_position;
  const size_t n = left < size ? left : size;
  std::copy_n(request.body.data() + request.read_position, n, buffer);
  request.read_position += n;
  *count = static_cast<std::uint32_t>(n);
  // The failure shows at the end, after every byte that did arrive.
  if (n == 0 && request.transfer_failed) {
    *failure = request.failure;
    return false;
  }
  return true;
}

QueryOutcome query_raw_headers(Request& request, char* buffer, std::uint32_t* length) {
  const std::string& raw = request.raw_headers;
  if (raw.empty()) return QueryOutcome::kFailed;
  if (raw.size() + 1 > *length) {
    *length = static_cast<std::uint32_t>(raw.size() + 1);
    return QueryOutcome::kTooSmall;
  }
  std::copy(raw.begin(), raw.end(), buffer);
  buffer[raw.size()] = '\0';
  *length = static_cast<std::uint32_t>(raw.size());
  return QueryOutcome::kOk;
}

}  // namespace quillreap::http::transport
