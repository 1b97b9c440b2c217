// fetch_page: builds one request the way the sites expect it (verb, agent, flags, default
// header lines), runs it over the platform transport and collects body, raw headers and
// cookies. Runs on whichever thread calls it; keeps no state between calls.
#include "http/fetch.hpp"

#include <algorithm>
#include <optional>
#include <string>

#include "http/cookies.hpp"
#include "http/redirect.hpp"
#include "http/response_headers.hpp"
#include "http/transport.hpp"
#include "text/markers.hpp"

namespace quillreap::http {

using text::Text;

namespace {

constexpr std::string_view kDefaultUserAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
constexpr std::string_view kLineEnd = "\r\n";
constexpr int kReadSize = 1024;
constexpr int kRawHeaderCapacity = 5000;

const char* text_or_null(const Text& value) {
  return value.empty() ? nullptr : value.c_str();
}

// A control byte (CR LF above all) in an address would end the request line or the
// Referer line early and let a page's link write header lines of its own.
bool holds_control_byte(std::string_view part) {
  return std::any_of(part.begin(), part.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// The caller's own User-Agent line names the agent; an empty one sends none.
Text choose_user_agent(const Text& extra_headers) {
  return header_line(extra_headers, "User-Agent").value_or(Text(kDefaultUserAgent));
}

std::uint32_t request_flags(bool cookies_supplied, bool no_redirect, bool secure) {
  std::uint32_t flags = transport::kFlagReload | transport::kFlagNeedFile;
  if (cookies_supplied) flags |= transport::kFlagNoCookies;
  if (no_redirect) flags |= transport::kFlagNoAutoRedirect;
  flags |= secure ? transport::kFlagSecure : transport::kFlagIgnoreRedirectToHttps;
  return flags;
}

// Each test looks at the block as extended so far, with exact letter case.
void complete_header_block(Text& block, std::string_view address, const Text& cookies) {
  if (block.empty()) {
    block = "Accept: */*";
  } else if (text::find_text(block, "Accept:") < 1) {
    block += "\r\nAccept: */*";
  }
  if (text::find_text(block, "Referer:") < 1) block += text::concat("\r\nReferer: ", address);
  if (text::find_text(block, "Accept-Language:") < 1) block += "\r\nAccept-Language: zh-cn";
  if (text::find_text(block, "Content-Type:") < 1) {
    block += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (!cookies.empty()) {
    if (text::find_text(cookies, "Cookie:") < 1) {
      block += text::concat("\r\nCookie: ", cookies);
    } else {
      block += text::concat(kLineEnd, cookies);
    }
  }
}

// The raw block up to its first NUL; queried again when it does not fit, so no cookie is
// lost. "" when the platform has none.
Text raw_response_headers(transport::Request& request) {
  Text buffer = text::spaces(kRawHeaderCapacity);
  std::uint32_t length = kRawHeaderCapacity;
  auto outcome = transport::query_raw_headers(request, buffer.data(), &length);
  if (outcome == transport::QueryOutcome::kTooSmall) {
    buffer = text::spaces(static_cast<int>(length) + 1);
    length = static_cast<std::uint32_t>(buffer.size());
    outcome = transport::query_raw_headers(request, buffer.data(), &length);
  }
  if (outcome != transport::QueryOutcome::kOk) return {};
  return clean_raw_headers(buffer);
}

// A body shorter than the Content-Length the response announced was cut off: some
// platforms end the read loop quietly when the connection drops mid-body.
bool body_cut_short(const Text& raw_headers, const Bytes& body, int method, int status) {
  if (method == kHead || status < 200 || status == 204 || status == 304) return false;
  const Text announced = header_line_value(raw_headers, "Content-Length");
  return !announced.empty() && text::to_int(announced) > text::bytes_length(body);
}

FailureReason reason_of(transport::Failure failure) {
  using transport::Failure;
  switch (failure) {
    case Failure::kNone:
    case Failure::kNoConnection:
      return FailureReason::kNoConnection;
    case Failure::kRefused:
      return FailureReason::kConnectionRefused;
    case Failure::kReset:
      return FailureReason::kReset;
    case Failure::kCutShort:
      return FailureReason::kCutShort;
    case Failure::kTimeout:
      return FailureReason::kTimeout;
    case Failure::kTooManyRedirects:
      return FailureReason::kTooManyRedirects;
    case Failure::kClient:
      return FailureReason::kClientError;
    case Failure::kUntrustedCertificate:
      return FailureReason::kUntrustedCertificate;
  }
  return FailureReason::kNoConnection;
}

// The status comes first: a 503 whose body was also cut off is retried for the 503. A
// short body comes before the platform's own error, since some platforms report a
// connection dropped mid-body as a reset and others not at all.
FailureReason failure_reason(bool cut_short, int status, transport::Failure failure) {
  if (status >= 400) return FailureReason::kHttpStatus;
  if (cut_short) return FailureReason::kCutShort;
  // The request went out and the platform saw nothing wrong, yet no status line came
  // back: the server closed the connection without answering.
  if (status == 0 && failure == transport::Failure::kNone) return FailureReason::kReset;
  return reason_of(failure);
}

// What a fetch sends on each hop. A POST redirected by 301, 302 or 303 goes on as a GET
// without its body; with cookie text of the caller's, the cookies a redirect's answer sets
// go along on the next hop.
struct Outgoing {
  int method = kGet;
  const char* verb = "GET";
  bool send_body = false;
  const Bytes* body = nullptr;
  Text callers_headers;
  Text cookie_text;
  bool own_cookies = false;  // the caller supplied cookie text: the jar stays out
  Timeouts timeouts;
};

// What one hop brought back. opened is false when no connection or request handle could
// be had, and nothing went out.
struct Answer {
  bool opened = false;
  bool failed = false;
  transport::Failure failure = transport::Failure::kNone;
  Bytes body;
  Text raw_headers;
  Text sent_headers;
};

transport::InternetHandle open_session(const Text& user_agent, std::string_view proxy, bool secure,
                                       const Text& ca_file, const Timeouts& timeouts,
                                       std::stop_token stop) {
  Text proxy_setting;
  if (!proxy.empty()) proxy_setting = secure ? Text(proxy) : text::concat("http=", proxy);
  return transport::open_internet(text_or_null(user_agent), text_or_null(proxy_setting),
                                  text_or_null(ca_file), timeouts, stop);
}

// Every byte the platform hands out; a failed read marks the answer failed and keeps the
// first failure seen.
void read_body(transport::Request& request, const Timeouts& timeouts, Answer& answer) {
  Bytes buffer = text::zero_bytes(kReadSize);
  std::uint32_t count = 0;
  do {
    count = 0;
    transport::Failure read_failure = transport::Failure::kNone;
    if (!transport::read_response(request, buffer.data(), kReadSize, &count, timeouts,
                                  &read_failure)) {
      answer.failed = true;
      if (answer.failure == transport::Failure::kNone) answer.failure = read_failure;
    }
    answer.body.insert(answer.body.end(), buffer.begin(), buffer.begin() + count);
  } while (count != 0);
}

// One request to destination and its whole answer.
Answer exchange(transport::Internet& internet, const Destination& destination,
                std::string_view address, const Outgoing& out) {
  Answer answer;
  transport::ConnectionHandle connection =
      transport::connect(internet, destination.host.c_str(), destination.port, out.timeouts);
  if (!connection) return answer;
  transport::RequestHandle request = transport::open_request(
      *connection, out.verb, destination.path.c_str(), "HTTP/1.1",
      request_flags(out.own_cookies, true, destination.secure), out.timeouts);
  if (!request) return answer;
  answer.opened = true;
  answer.sent_headers = out.callers_headers;
  complete_header_block(answer.sent_headers, address, out.cookie_text);
  const Bytes& body = *out.body;
  const bool with_body = out.send_body && !body.empty();
  answer.failed = !transport::send_request(
      *request, answer.sent_headers, with_body ? body.data() : nullptr,
      with_body ? static_cast<std::uint32_t>(body.size()) : 0, out.timeouts, &answer.failure);
  read_body(*request, out.timeouts, answer);
  answer.raw_headers = raw_response_headers(*request);
  return answer;
}

// Redirects are followed here, hop by hop, so that every platform stops after the same
// number of them: one WinInet follows a redirect to itself without end. The first hop's
// completed header block goes back to the caller. Nothing when a hop could not be opened.
std::optional<Answer> follow_redirects(transport::Internet& internet, Destination destination,
                                       std::string_view address, bool no_redirect, Outgoing& out,
                                       Text* extra_headers) {
  for (int hop = 0;; ++hop) {
    Answer answer = exchange(internet, destination, address, out);
    if (!answer.opened) return std::nullopt;
    if (hop == 0 && extra_headers) *extra_headers = answer.sent_headers;
    const int status = status_of(answer.raw_headers);
    if (no_redirect || answer.failed || !is_redirect(status)) return answer;
    // Still redirected after the last hop allowed: a redirect loop never reads as a page.
    if (hop == kMaxRedirects) {
      answer.failed = true;
      answer.failure = transport::Failure::kTooManyRedirects;
      return answer;
    }
    const std::optional<Destination> next =
        redirect_destination(destination, header_line_value(answer.raw_headers, "Location"));
    if (!next) return answer;
    destination = *next;
    if (out.own_cookies) {
      Text set_here = collect_cookies(answer.raw_headers);
      merge_cookies(out.cookie_text, set_here);
    }
    // As browsers do: 301, 302 and 303 turn a POST into a GET without a body.
    if (status != 307 && status != 308 && out.method == kPost) {
      out.verb = "GET";
      out.send_body = false;
    }
  }
}

// The fetch's result from its last answer, and the cookies and headers handed back.
FetchResult finish(Answer& answer, int method, Text& cookie_text, Text* cookies,
                   Text* returned_cookies, Text* returned_headers) {
  FetchResult result;
  result.body = std::move(answer.body);
  result.status = status_of(answer.raw_headers);
  const bool cut_short = body_cut_short(answer.raw_headers, result.body, method, result.status);
  result.failed = answer.failed || result.status == 0 || result.status >= 400 || cut_short;
  result.reason = result.failed ? failure_reason(cut_short, result.status, answer.failure)
                                : FailureReason::kNone;
  Text collected = collect_cookies(answer.raw_headers);
  if (cookies) {
    *cookies = cookie_text;
    collected = merge_cookies(*cookies, collected);
  }
  if (returned_headers) *returned_headers = answer.raw_headers;
  if (returned_cookies) *returned_cookies = collected;
  return result;
}

}  // namespace

Text failure_description(const FetchResult& result) {
  if (!result.failed) return {};
  switch (result.reason) {
    case FailureReason::kNone:
      return {};
    case FailureReason::kNoConnection:
      return "no connection";
    case FailureReason::kConnectionRefused:
      return "connection refused";
    case FailureReason::kReset:
      return "connection reset";
    case FailureReason::kCutShort:
      return "body cut short";
    case FailureReason::kTimeout:
      return "time-out";
    case FailureReason::kHttpStatus:
      return "HTTP status " + std::to_string(result.status);
    case FailureReason::kAddressRefused:
      return "address refused";
    case FailureReason::kTooManyRedirects:
      return "too many redirects";
    case FailureReason::kClientError:
      return "HTTP library error";
    case FailureReason::kUntrustedCertificate:
      return "server certificate not trusted";
  }
  return "failed";
}

FetchResult fetch_page(std::string_view address, int method, std::string_view post_text,
                       Text* cookies, Text* returned_cookies, Text* extra_headers,
                       Text* returned_headers, bool no_redirect, Bytes* post_bytes,
                       std::string_view proxy) {
  return fetch_page_until_stopped({}, kDefaultTimeouts, address, method, post_text, cookies,
                                  returned_cookies, extra_headers, returned_headers, no_redirect,
                                  post_bytes, proxy);
}

FetchResult fetch_page_until_stopped(std::stop_token stop, const Timeouts& timeouts,
                                     std::string_view address, int method,
                                     std::string_view post_text, Text* cookies,
                                     Text* returned_cookies, Text* extra_headers,
                                     Text* returned_headers, bool no_redirect, Bytes* post_bytes,
                                     std::string_view proxy, std::string_view ca_file) {
  if (method < kGet || method > kHead) method = kGet;
  // The host and path come out of the address, and the address itself goes out as the
  // Referer line, so the whole address is checked.
  if (holds_control_byte(address)) {
    FetchResult refused;
    refused.reason = FailureReason::kAddressRefused;
    return refused;
  }
  static constexpr const char* kVerbs[] = {"GET", "POST", "HEAD"};
  Outgoing out;
  out.method = method;
  out.verb = kVerbs[method];
  out.callers_headers = extra_headers ? *extra_headers : Text();
  out.cookie_text = cookies ? *cookies : Text();
  out.own_cookies = cookies != nullptr;
  out.timeouts = timeouts;

  const bool secure = text::to_lower(text::text_left(address, 8)) == "https://";
  transport::InternetHandle internet = open_session(choose_user_agent(out.callers_headers), proxy,
                                                    secure, Text(ca_file), timeouts, stop);
  if (!internet) return {};

  Bytes own_body;
  Bytes& body = post_bytes ? *post_bytes : own_body;
  if (method != kGet && text::bytes_length(body) == 0) body = text::to_bytes(post_text);
  out.send_body = method != kGet;
  out.body = &body;

  std::optional<Answer> last = follow_redirects(*internet, destination_of(address), address,
                                                no_redirect, out, extra_headers);
  internet.reset();
  if (!last) return {};
  return finish(*last, method, out.cookie_text, cookies, returned_cookies, returned_headers);
}

}  // namespace quillreap::http
