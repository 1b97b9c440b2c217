// The Windows transport: WinInet, bound by name from wininet.dll at the first fetch and
// kept for the life of the process, so the program does not import it. Each handle is
// closed through InternetCloseHandle by its owner, innermost first.
#include <windows.h>
#include <wininet.h>

#include <chrono>
#include <string>

#include "http/timeouts.hpp"
#include "http/transport.hpp"

namespace quillreap::http::transport {

namespace {

// The WinInet calls fetch_page makes; null members when the DLL or a name is missing.
struct WinInet {
  decltype(&::InternetOpenA) open = nullptr;
  decltype(&::InternetConnectA) connect = nullptr;
  decltype(&::HttpOpenRequestA) open_request = nullptr;
  decltype(&::HttpSendRequestA) send_request = nullptr;
  decltype(&::InternetReadFile) read_file = nullptr;
  decltype(&::HttpQueryInfoA) query_info = nullptr;
  decltype(&::InternetCloseHandle) close_handle = nullptr;
  decltype(&::InternetSetOptionA) set_option = nullptr;

  bool complete() const {
    return open && connect && open_request && send_request && read_file && query_info &&
           close_handle && set_option;
  }
};

template <typename Function>
void bind(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Bound once per process, on whichever thread fetches first; the DLL stays loaded.
const WinInet& wininet() {
  static const WinInet bound = [] {
    WinInet w;
    HMODULE module = LoadLibraryA("wininet.dll");
    if (!module) return w;
    bind(module, "InternetOpenA", w.open);
    bind(module, "InternetConnectA", w.connect);
    bind(module, "HttpOpenRequestA", w.open_request);
    bind(module, "HttpSendRequestA", w.send_request);
    bind(module, "InternetReadFile", w.read_file);
    bind(module, "HttpQueryInfoA", w.query_info);
    bind(module, "InternetCloseHandle", w.close_handle);
    bind(module, "InternetSetOptionA", w.set_option);
    return w;
  }();
  return bound;
}

HINTERNET native(void* handle) {
  return static_cast<HINTERNET>(handle);
}

void close_native(void* handle) {
  if (handle && wininet().close_handle) wininet().close_handle(native(handle));
}

// WinInet's own defaults differ between versions and can be changed for the whole system
// (an hour is common), so the fetch's time-outs are set on every handle: not every
// WinInet hands a parent handle's values down to the handles opened under it. An option a
// handle refuses leaves it WinInet's value; the Windows tests read every handle's back.
HINTERNET with_timeouts(HINTERNET handle, const Timeouts& t) {
  if (!handle) return nullptr;
  const struct {
    DWORD option;
    std::chrono::milliseconds value;
  } settings[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, t.connect},
                  {INTERNET_OPTION_SEND_TIMEOUT, t.send},
                  {INTERNET_OPTION_RECEIVE_TIMEOUT, t.receive}};
  for (const auto& setting : settings) {
    DWORD milliseconds = static_cast<DWORD>(setting.value.count());
    wininet().set_option(handle, setting.option, &milliseconds, sizeof milliseconds);
  }
  return handle;
}

// What the calling thread's last WinInet error means to the caller; read right after the
// call that failed, before anything else can overwrite it. Some WinInets report a receive
// time-out as an aborted connection: one that failed only after waiting the whole time-out
// is taken for a time-out.
Failure last_failure(Failure otherwise, std::chrono::steady_clock::time_point started,
                     const Timeouts& timeouts) {
  const DWORD error = GetLastError();
  if (error == ERROR_INTERNET_CONNECTION_ABORTED &&
      std::chrono::steady_clock::now() - started >= timeouts.receive * 9 / 10) {
    return Failure::kTimeout;
  }
  switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
      return Failure::kRefused;
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
    case ERROR_INTERNET_DISCONNECTED:
    case ERROR_INTERNET_SERVER_UNREACHABLE:
    case ERROR_INTERNET_PROXY_SERVER_UNREACHABLE:
      return Failure::kNoConnection;
    case ERROR_INTERNET_TIMEOUT:
      return Failure::kTimeout;
    case ERROR_INTERNET_CONNECTION_RESET:
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
      return Failure::kReset;
    case ERROR_HTTP_REDIRECT_FAILED:
      return Failure::kTooManyRedirects;
    // A CA found in no store shows as a failed revocation check.
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
      return Failure::kUntrustedCertificate;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_INTERNET_INVALID_OPTION:
    case ERROR_INTERNET_BAD_OPTION_LENGTH:
    case ERROR_INVALID_PARAMETER:
      return Failure::kClient;
    default:
      return otherwise;
  }
}

}  // namespace

// The handle types are WinInet's own handles under a typed name; never dereferenced.
void InternetCloser::operator()(Internet* handle) const noexcept {
  close_native(handle);
}
void ConnectionCloser::operator()(Connection* handle) const noexcept {
  close_native(handle);
}
void RequestCloser::operator()(Request* handle) const noexcept {
  close_native(handle);
}

// No security flag is ever set: WinInet checks every server certificate against the
// system's store, and ca_file has no say here.
InternetHandle open_internet(const char* user_agent, const char* proxy, const char*,
                             const Timeouts& timeouts, std::stop_token) {
  const WinInet& w = wininet();
  if (!w.complete()) return nullptr;
  HINTERNET handle = proxy ? w.open(user_agent, INTERNET_OPEN_TYPE_PROXY, proxy, "", 0)
                           : w.open(user_agent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  return InternetHandle(static_cast<Internet*>(with_timeouts(handle, timeouts)));
}

ConnectionHandle connect(Internet& internet, const char* host, std::int32_t port,
                         const Timeouts& timeouts) {
  HINTERNET handle = wininet().connect(native(&internet), host, static_cast<INTERNET_PORT>(port),
                                       nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  return ConnectionHandle(static_cast<Connection*>(with_timeouts(handle, timeouts)));
}

RequestHandle open_request(Connection& connection, const char* verb, const char* path,
                           const char* version, std::uint32_t flags, const Timeouts& timeouts) {
  HINTERNET handle =
      wininet().open_request(native(&connection), verb, path, version, nullptr, nullptr, flags, 0);
  return RequestHandle(static_cast<Request*>(with_timeouts(handle, timeouts)));
}

bool send_request(Request& request, std::string_view headers, const unsigned char* body,
                  std::uint32_t body_length, const Timeouts& timeouts, Failure* failure) {
  const std::string block(headers);
  void* optional = const_cast<unsigned char*>(body);
  const auto started = std::chrono::steady_clock::now();
  const BOOL sent = wininet().send_request(native(&request), block.c_str(),
                                           static_cast<DWORD>(block.size()), optional, body_length);
  if (!sent) *failure = last_failure(Failure::kNoConnection, started, timeouts);
  return sent != FALSE;
}

bool read_response(Request& request, unsigned char* buffer, std::uint32_t size,
                   std::uint32_t* count, const Timeouts& timeouts, Failure* failure) {
  DWORD read = 0;
  const auto started = std::chrono::steady_clock::now();
  const BOOL ok = wininet().read_file(native(&request), buffer, size, &read);
  if (!ok) *failure = last_failure(Failure::kReset, started, timeouts);
  *count = ok ? read : 0;
  return ok != FALSE;
}

QueryOutcome query_raw_headers(Request& request, char* buffer, std::uint32_t* length) {
  DWORD size = *length;
  if (wininet().query_info(native(&request), HTTP_QUERY_RAW_HEADERS_CRLF, buffer, &size, nullptr)) {
    *length = size;
    return QueryOutcome::kOk;
  }
  if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    *length = size;
    return QueryOutcome::kTooSmall;
  }
  return QueryOutcome::kFailed;
}

}  // namespace quillreap::http::transport
