// fetch_page: one complete HTTP exchange, the only way the program talks to a site.
// Written once over the transport seam (WinInet on Windows, libcurl on Linux).
#pragma once

#include <stop_token>
#include <string_view>

#include "http/timeouts.hpp"
#include "text/primitives.hpp"

namespace quillreap::http {

using text::Bytes;
using text::Text;

// Why an exchange failed; kNone exactly when it did not.
enum class FailureReason {
  kNone,
  kNoConnection,          // no network, no such host, nothing reached
  kConnectionRefused,     // the host answered the connect with a refusal
  kReset,                 // the connection was reset or closed before a complete answer
  kCutShort,              // the body ended before the length its response announced
  kTimeout,               // nothing came for the receive time-out (or the connect time-out)
  kHttpStatus,            // the final response's status is 400 or above
  kAddressRefused,        // the address cannot be sent safely; nothing went out
  kTooManyRedirects,      // still redirected after the last hop allowed
  kClientError,           // the HTTP library refused a setting or failed on its own side
  kUntrustedCertificate,  // an https server's certificate did not check out: no page
};

// The body exactly as the server sent it (error pages included), and whether the
// exchange failed: no handle, no connection, no response, a read that failed, an address
// that cannot be sent safely, or an HTTP status of 400 and above; reason says which.
struct FetchResult {
  Bytes body;
  bool failed = true;
  int status = 0;  // the final response's HTTP status, 0 when none arrived
  FailureReason reason = FailureReason::kNoConnection;
};

// A short English description for messages: "connection refused", "HTTP status 503"; ""
// for a fetch that did not fail.
Text failure_description(const FetchResult& result);

enum Method { kGet = 0, kPost = 1, kHead = 2 };

// Every argument but address may be omitted. In/out arguments are pointers; a null
// cookies pointer means "not supplied", which differs from a supplied empty text.
FetchResult fetch_page(std::string_view address, int method = kGet, std::string_view post_text = {},
                       Text* cookies = nullptr, Text* returned_cookies = nullptr,
                       Text* extra_headers = nullptr, Text* returned_headers = nullptr,
                       bool no_redirect = false, Bytes* post_bytes = nullptr,
                       std::string_view proxy = {});

// fetch_page with the caller's time-outs, for a download that may be stopped: once stop is
// requested, an exchange under way gives up within about a second where the platform
// allows it (libcurl), instead of running on to its time-out. The other arguments as
// fetch_page's, which waits kDefaultTimeouts and is never stopped. ca_file: see
// SiteConfig::ca_file; empty for the system's CAs.
FetchResult fetch_page_until_stopped(
    std::stop_token stop, const Timeouts& timeouts, std::string_view address, int method = kGet,
    std::string_view post_text = {}, Text* cookies = nullptr, Text* returned_cookies = nullptr,
    Text* extra_headers = nullptr, Text* returned_headers = nullptr, bool no_redirect = false,
    Bytes* post_bytes = nullptr, std::string_view proxy = {}, std::string_view ca_file = {});

}  // namespace quillreap::http
