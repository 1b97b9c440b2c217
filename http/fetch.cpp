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

Text choose_user_agent(const Text& extra_headers) {
  if (text::find_text(extra_headers, "User-Agent:", 1, true) < 1) return Text(kDefaultUserAgent);
  Text agent = text::trim_spaces(
      text::text_between(text::concat(extra_headers, kLineEnd), "User-Agent:", kLineEnd));
  if (agent.empty()) agent = header_value(extra_headers);
  return agent;
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
  const int at = text::find_text(raw_headers, "\r\nContent-Length:", 1, true);
  if (at < 1) return false;
  const Text announced = text::trim_spaces(text::text_between(
      text::text_mid(raw_headers, at + 2, text::text_length(raw_headers)), ":", "\r\n"));
  return text::to_int(announced) > text::bytes_length(body);
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
  }
  return "failed";
}

Text header_value(std::string_view header) {
  const int colon = text::find_text(header, ":");
  if (colon < 1) return {};
  return text::trim_spaces(text::text_right(header, text::text_length(header) - colon));
}

FetchResult fetch_page(std::string_view address, int method, std::string_view post_text,
                       Text* cookies, Text* returned_cookies, Text* extra_headers,
                       Text* returned_headers, bool no_redirect, Bytes* post_bytes,
                       std::string_view proxy) {
  return fetch_page_until_stopped({}, address, method, post_text, cookies, returned_cookies,
                                  extra_headers, returned_headers, no_redirect, post_bytes, proxy);
}

FetchResult fetch_page_until_stopped(std::stop_token stop, std::string_view address, int method,
                                     std::string_view post_text, Text* cookies,
                                     Text* returned_cookies, Text* extra_headers,
                                     Text* returned_headers, bool no_redirect, Bytes* post_bytes,
                                     std::string_view proxy) {
  FetchResult result;
  if (method < kGet || method > kHead) method = kGet;
  static constexpr const char* kVerbs[] = {"GET", "POST", "HEAD"};
  const char* verb = kVerbs[method];
  const bool secure = text::to_lower(text::text_left(address, 8)) == "https://";
  const Text callers_headers = extra_headers ? *extra_headers : Text();
  const Text user_agent = choose_user_agent(callers_headers);

  // The host and path come out of the address, and the address itself goes out as the
  // Referer line, so the whole address is checked.
  if (holds_control_byte(address)) {
    result.reason = FailureReason::kAddressRefused;
    return result;
  }
  Destination destination = destination_of(address);

  Text proxy_setting;
  if (!proxy.empty()) proxy_setting = secure ? Text(proxy) : text::concat("http=", proxy);
  transport::InternetHandle internet =
      transport::open_internet(text_or_null(user_agent), text_or_null(proxy_setting), stop);
  if (!internet) return result;

  Bytes own_body;
  Bytes& body = post_bytes ? *post_bytes : own_body;
  if (method != kGet && text::bytes_length(body) == 0) body = text::to_bytes(post_text);
  bool send_body = method != kGet;
  // With cookie text of the caller's, the cookies a redirect's answer sets go along on the
  // next hop and come back with the rest; the process's jar keeps them by itself.
  Text cookie_text = cookies ? *cookies : Text();

  bool failed = false;
  transport::Failure failure = transport::Failure::kNone;
  Text raw_headers;
  // Redirects are followed here, hop by hop, so that every platform stops after the same
  // number of them: one WinInet follows a redirect to itself without end.
  for (int hop = 0;; ++hop) {
    transport::ConnectionHandle connection =
        transport::connect(*internet, destination.host.c_str(), destination.port);
    if (!connection) return result;
    transport::RequestHandle request =
        transport::open_request(*connection, verb, destination.path.c_str(), "HTTP/1.1",
                                request_flags(cookies != nullptr, true, destination.secure));
    if (!request) return result;

    Text headers = callers_headers;
    complete_header_block(headers, address, cookie_text);
    if (send_body) {
      failed = !transport::send_request(*request, headers, body.empty() ? nullptr : body.data(),
                                        static_cast<std::uint32_t>(body.size()), &failure);
    } else {
      failed = !transport::send_request(*request, headers, nullptr, 0, &failure);
    }
    if (hop == 0 && extra_headers) *extra_headers = headers;

    result.body.clear();
    Bytes buffer = text::zero_bytes(kReadSize);
    std::uint32_t count = 0;
    do {
      count = 0;
      transport::Failure read_failure = transport::Failure::kNone;
      if (!transport::read_response(*request, buffer.data(), kReadSize, &count, &read_failure)) {
        failed = true;
        if (failure == transport::Failure::kNone) failure = read_failure;
      }
      const Bytes piece = text::bytes_left(buffer, static_cast<int>(count));
      result.body.insert(result.body.end(), piece.begin(), piece.end());
    } while (count != 0);
    raw_headers = raw_response_headers(*request);

    const int status = status_of(raw_headers);
    if (no_redirect || failed || !is_redirect(status)) break;
    // Still redirected after the last hop allowed: a redirect loop never reads as a page.
    if (hop == kMaxRedirects) {
      failed = true;
      failure = transport::Failure::kTooManyRedirects;
      break;
    }
    const std::optional<Destination> next =
        redirect_destination(destination, header_line_value(raw_headers, "Location"));
    if (!next) break;
    destination = *next;
    if (cookies) {
      Text set_here = collect_cookies(raw_headers);
      merge_cookies(cookie_text, set_here);
    }
    // As browsers do: 301, 302 and 303 turn a POST into a GET without a body.
    if (status != 307 && status != 308 && method == kPost) {
      verb = "GET";
      send_body = false;
    }
  }
  internet.reset();

  result.status = status_of(raw_headers);
  const bool cut_short = body_cut_short(raw_headers, result.body, method, result.status);
  result.failed = failed || result.status == 0 || result.status >= 400 || cut_short;
  result.reason =
      result.failed ? failure_reason(cut_short, result.status, failure) : FailureReason::kNone;
  Text collected = collect_cookies(raw_headers);
  if (cookies) {
    *cookies = cookie_text;
    collected = merge_cookies(*cookies, collected);
  }
  if (returned_headers) *returned_headers = raw_headers;
  if (returned_cookies) *returned_cookies = collected;
  return result;
}

}  // namespace quillreap::http
