// The WinInet transport puts the fetch's time-outs on every handle it opens, the
// program's own 30 s included: left alone, WinInet waits as long as the system says (an
// hour is common), and a stalled page takes that long on Windows alone.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include "http/timeouts.hpp"
#include "http/transport.hpp"

namespace quillreap::http {
namespace {

// Wine's WinInet does not report every option on every kind of handle, although it keeps
// them all; each option must be reported by one handle at least, and be right wherever it
// is reported.
struct Reported {
  int connect = 0, send = 0, receive = 0;
};

void expect_timeouts(void* handle, const Timeouts& expected, Reported& reported) {
  const struct {
    DWORD option;
    std::chrono::milliseconds value;
    int& count;
  } options[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, expected.connect, reported.connect},
                 {INTERNET_OPTION_SEND_TIMEOUT, expected.send, reported.send},
                 {INTERNET_OPTION_RECEIVE_TIMEOUT, expected.receive, reported.receive}};
  for (const auto& o : options) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (!InternetQueryOptionA(static_cast<HINTERNET>(handle), o.option, &value, &size)) continue;
    ++o.count;
    EXPECT_EQ(value, static_cast<DWORD>(o.value.count())) << "option " << o.option;
  }
}

TEST(WinInetTimeouts, EveryHandleCarriesTheFetchsTimeouts) {
  using std::chrono::milliseconds;
  const Timeouts cases[] = {kDefaultTimeouts,
                            {milliseconds(1200), milliseconds(3400), milliseconds(5600)}};
  for (const Timeouts& t : cases) {
    SCOPED_TRACE(t.receive.count());
    // Nothing goes out: WinInet connects only when the request is sent.
    transport::InternetHandle internet = transport::open_internet(nullptr, nullptr, nullptr, t);
    ASSERT_TRUE(internet);
    transport::ConnectionHandle connection = transport::connect(*internet, "127.0.0.1", 9, t);
    ASSERT_TRUE(connection);
    transport::RequestHandle request =
        transport::open_request(*connection, "GET", "/", "HTTP/1.1", transport::kFlagReload, t);
    ASSERT_TRUE(request);
    Reported reported;
    for (void* handle : {static_cast<void*>(internet.get()), static_cast<void*>(connection.get()),
                         static_cast<void*>(request.get())}) {
      expect_timeouts(handle, t, reported);
    }
    EXPECT_GT(reported.connect, 0);
    EXPECT_GT(reported.send, 0);
    EXPECT_GT(reported.receive, 0);
  }
}

}  // namespace
}  // namespace quillreap::http
