#include "mail/tests/test_smtp_server.h"

#include <chrono>
#include <thread>

#include "sys/environment.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace mailtest {
namespace {

std::string readText(const std::string& path) {
  std::vector<uint8_t> bytes = testkit::readAll(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

}  // namespace

TestSmtpServer::TestSmtpServer(const std::string& mode, bool tls) {
  std::string key = "ZED_SMTP_STATE_" + mode + (tls ? "_tls" : "");
  if (std::optional<std::string> state = sys::environmentValue(key)) {
    m_state = *state;
  } else if (testkit::hostToolsRunHere()) {
    m_folder = std::make_unique<testkit::ScratchFolder>();
    m_state = m_folder->path();
    m_own = testkit::runTool("/usr/bin/python3 " + quoted(std::string(ZED_MAIL_TEST_SCRIPTS) + "/smtp_test_server.py") +
                             " --detach --state " + quoted(m_state) + " --mode " + mode + (tls ? " --tls" : "")) == 0;
  }
  if (m_state.empty()) return;
  for (int i = 0; i < 200 && m_port == 0; ++i) {
    std::string port = readText(sys::joinPath(m_state, "port"));
    if (!port.empty()) m_port = std::stoi(port);
    else std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  // A shared server counts on from the messages of the tests before.
  m_firstMessage = messageCount() + 1;
}

TestSmtpServer::~TestSmtpServer() {
  if (!m_own) return;
  std::string pid = readText(sys::joinPath(m_state, "pid"));
  if (!pid.empty()) testkit::runTool("kill " + pid);
}

std::string TestSmtpServer::certificate() const { return sys::joinPath(m_state, "cert.pem"); }

std::string TestSmtpServer::messagePath(int n, const char* ending) const {
  return sys::joinPath(m_state, "message-" + std::to_string(m_firstMessage - 1 + n) + ending);
}

std::string TestSmtpServer::waitForMessage(int n) const {
  std::string path = messagePath(n, ".eml");
  for (int i = 0; i < 100; ++i) {
    if (sys::fileExists(path)) return path;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return {};
}

std::string TestSmtpServer::envelope(int n) const {
  return readText(messagePath(n, ".json"));
}

int TestSmtpServer::messageCount() const {
  int count = 0;
  while (sys::fileExists(messagePath(count + 1, ".eml"))) ++count;
  return count;
}

std::string checkMessage(const std::string& messagePath, const std::string& subject, const std::string& body,
                         const std::vector<std::string>& attachments, const std::vector<std::string>& types) {
  std::string bodyFile = messagePath + ".expected-body";
  testkit::writeAll(bodyFile, std::vector<uint8_t>(body.begin(), body.end()));
  std::string command = "/usr/bin/python3 " + quoted(std::string(ZED_MAIL_TEST_SCRIPTS) + "/check_message.py") + " " +
                        quoted(messagePath) + " --subject " + quoted(subject) + " --body-file " + quoted(bodyFile);
  for (const std::string& path : attachments) command += " --attach " + quoted(path);
  for (const std::string& type : types) command += " --type " + quoted(type);
  std::string output = testkit::toolOutput(command + " 2>&1");
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

}  // namespace mailtest
