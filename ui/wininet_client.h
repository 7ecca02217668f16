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
  // Limits connecting and each receive to timeoutMs (0: the system's limits).
  WinInetClient(std::string agent, unsigned long timeoutMs) : m_agent(std::move(agent)), m_timeoutMs(timeoutMs) {}
  std::unique_ptr<net::HttpResponse> open(const std::string& url) override;

 private:
  std::string m_agent;
  unsigned long m_timeoutMs = 0;
};

}  // namespace ui
