// The platform half of fetch_page: the calls it makes, in the shape of WinInet's.
// transport_wininet.cpp (Windows) or transport_curl.cpp (Linux) supplies them; CMake picks.
// Every call runs on the fetching thread and blocks it; handles never cross threads. Each
// transport applies the fetch's time-outs (http/timeouts.hpp) to the handles it opens; the
// same value is given to every call of one exchange.
#pragma once

#include <cstdint>
#include <memory>
#include <stop_token>
#include <string_view>

#include "http/timeouts.hpp"

namespace quillreap::http {

namespace transport {

// Request flags, with WinInet's published values so its transport passes them through.
inline constexpr std::uint32_t kFlagReload = 0x80000000;          // never from a cache
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010;        // temporary file if uncacheable
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000;       // no cookie jar
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000;  // redirects not followed
inline constexpr std::uint32_t kFlagSecure = 0x00800000;          // TLS
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x00004000;  // plain to secure allowed

// Defined by each platform file.
struct Internet;
struct Connection;
struct Request;
struct InternetCloser {
  void operator()(Internet* handle) const noexcept;
};
struct ConnectionCloser {
  void operator()(Connection* handle) const noexcept;
};
struct RequestCloser {
  void operator()(Request* handle) const noexcept;
};
using InternetHandle = std::unique_ptr<Internet, InternetCloser>;
using ConnectionHandle = std::unique_ptr<Connection, ConnectionCloser>;
using RequestHandle = std::unique_ptr<Request, RequestCloser>;

// Why a send or a read failed, as far as the platform can tell.
enum class Failure {
  kNone,
  kNoConnection,  // no route, no such host, or a failure the platform does not name
  kRefused,
  kReset,  // reset, aborted, or closed without an answer
  kCutShort,
  kTimeout,
  kTooManyRedirects,
  kClient,                // the platform library refused a setting or ran out of something
  kUntrustedCertificate,  // TLS: the server's certificate was refused
};

// A null user_agent sends none; a null proxy connects directly. proxy is "host:port", or
// "http=host:port" to proxy plain addresses only. ca_file, a PEM file, replaces the system's
// CAs for https (libcurl); WinInet always uses the system's store, so there it is ignored
// and the Windows tests put their CA in that store instead. Either way the server's
// certificate and name are checked. Null handle on failure.
// stop: once requested, an exchange under way on this handle gives up within about a
// second. The libcurl transport honours it; WinInet's blocking calls end only at their
// own time-outs, so there it changes nothing.
InternetHandle open_internet(const char* user_agent, const char* proxy, const char* ca_file,
                             const Timeouts& timeouts, std::stop_token stop = {});
ConnectionHandle connect(Internet& internet, const char* host, std::int32_t port,
                         const Timeouts& timeouts);
RequestHandle open_request(Connection& connection, const char* verb, const char* path,
                           const char* version, std::uint32_t flags, const Timeouts& timeouts);
// headers: lines separated by "\r\n". A null body (length 0) sends none. False when no
// response arrived; *failure then says why (it is left alone on success).
bool send_request(Request& request, std::string_view headers, const unsigned char* body,
                  std::uint32_t body_length, const Timeouts& timeouts, Failure* failure);
// Up to size bytes of the body; *count 0 at the end. False (with *count 0) when the read
// failed; *failure then says why.
bool read_response(Request& request, unsigned char* buffer, std::uint32_t size,
                   std::uint32_t* count, const Timeouts& timeouts, Failure* failure);

enum class QueryOutcome { kOk, kTooSmall, kFailed };
// The final response's raw header block, every line ended by "\r\n", NUL-terminated in
// buffer. *length: the buffer's size on entry; the bytes written, or on kTooSmall the size
// needed, on return.
QueryOutcome query_raw_headers(Request& request, char* buffer, std::uint32_t* length);

}  // namespace transport
}  // namespace quillreap::http
