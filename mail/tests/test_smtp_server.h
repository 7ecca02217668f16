#pragma once
// The SMTP servers of smtp_test_server.py on 127.0.0.1. Natively a test
// starts its own; under Wine, where a test cannot start a Linux program,
// the servers are started by run_with_smtp_servers.sh before the tests and
// found through ZED_SMTP_STATE_<MODE> (MODE "smtp", "smtp_tls", "silent",
// "close", "stall").

#include <memory>
#include <string>
#include <vector>

#include "testkit/testkit.h"

namespace mailtest {

class TestSmtpServer {
 public:
  // mode: "smtp", "silent", "close" or "stall"; tls adds STARTTLS to "smtp".
  TestSmtpServer(const std::string& mode, bool tls = false);
  ~TestSmtpServer();
  TestSmtpServer(const TestSmtpServer&) = delete;
  TestSmtpServer& operator=(const TestSmtpServer&) = delete;

  bool running() const { return m_port > 0; }
  int port() const { return m_port; }
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(m_port); }
  // The server's self-signed certificate (TLS servers).
  std::string certificate() const;
  // The path of the n-th message received (from 1), waiting for it a while;
  // empty when it never came.
  std::string waitForMessage(int n) const;
  // The envelope record of the n-th message (JSON text).
  std::string envelope(int n) const;
  // How many messages arrived so far.
  int messageCount() const;

 private:
  std::string messagePath(int n, const char* ending) const;

  std::unique_ptr<testkit::ScratchFolder> m_folder;  // of a server of our own
  std::string m_state;
  bool m_own = false;
  int m_port = 0;
  int m_firstMessage = 1;
};

// Prints every difference Python's email package finds between the message
// and what was expected; empty when it matches. Native builds only.
std::string checkMessage(const std::string& messagePath, const std::string& subject, const std::string& body,
                         const std::vector<std::string>& attachments, const std::vector<std::string>& types);

constexpr const char* kTestUser = "sender";
constexpr const char* kTestPassword = "p@ss:word";

}  // namespace mailtest
