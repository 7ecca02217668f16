#pragma once
// The HTTP(S) client of the programs, over WinINet: requests always go to the
// server (no cache, no user interface), and HTTPS certificates are checked by
// the system as usual.

#include <string>

#include "net/http_client.h"

namespace ui {

class WinInetClient : public net::HttpClient {
 public:
  explicit WinInetClient(std::string agent) : m_agent(std::move(agent)) {}
  std::unique_ptr<net::HttpResponse> open(const std::string& url) override;

 private:
  std::string m_agent;
};

}  // namespace ui
