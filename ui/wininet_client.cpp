#include "ui/wininet_client.h"

#include <windows.h>
#include <wininet.h>

#include "ui/text.h"

namespace ui {

namespace {

struct InternetCloser {
  void operator()(HINTERNET handle) const {
    if (handle) InternetCloseHandle(handle);
  }
};
using OwnedInternet = std::unique_ptr<void, InternetCloser>;

class WinInetResponse : public net::HttpResponse {
 public:
  WinInetResponse(OwnedInternet session, OwnedInternet request)
      : m_session(std::move(session)), m_request(std::move(request)) {}

  int status() override {
    DWORD code = 0;
    DWORD size = sizeof code;
    if (!HttpQueryInfoW(m_request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr))
      return 200;
    return static_cast<int>(code);
  }

  std::optional<int64_t> contentLength() override {
    // Read as text: the numeric form is 32 bits wide.
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (!HttpQueryInfoW(m_request.get(), HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
    wchar_t* end = nullptr;
    long long length = wcstoll(text, &end, 10);
    if (end == text || *end != L'\0' || length < 0) return std::nullopt;
    return length;
  }

  long read(void* data, size_t bytes) override {
    DWORD got = 0;
    if (!InternetReadFile(m_request.get(), data, static_cast<DWORD>(bytes), &got)) return -1;
    return static_cast<long>(got);
  }

 private:
  OwnedInternet m_session;
  OwnedInternet m_request;
};

}  // namespace

std::unique_ptr<net::HttpResponse> WinInetClient::open(const std::string& url) {
  OwnedInternet session(
      InternetOpenW(widen(m_agent).c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return nullptr;
  if (m_timeoutMs != 0) {
    DWORD timeout = m_timeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT})
      InternetSetOptionW(session.get(), option, &timeout, sizeof timeout);
  }
  // Certificate errors are left to fail the request: no INTERNET_FLAG_IGNORE_*.
  const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                      INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_COOKIES;
  OwnedInternet request(InternetOpenUrlW(session.get(), widen(url).c_str(), nullptr, 0, flags, 0));
  if (!request) return nullptr;
  return std::make_unique<WinInetResponse>(std::move(session), std::move(request));
}

}  // namespace ui
