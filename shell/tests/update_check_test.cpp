#include "shell/update_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

TEST(UpdateCheck, VersionsAreHundredthsReadFromTheirDigits) {
  struct Case {
    const char* text;
    std::optional<int> number;
  } cases[] = {{"3.05", 305}, {"3.1", 310}, {"3.10", 310}, {"3.109", 310}, {"0.9", 90},
               {"12", 1200},  {"4.2&x", 420}, {"", std::nullopt}, {"x3", std::nullopt},
               {".5", std::nullopt}, {"99999999999", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(shell::versionNumber(c.text), c.number) << c.text;
}

TEST(UpdateCheck, RepliesAreJudgedAgainstTheRunningVersion) {
  using shell::UpdateOutcome;
  struct Case {
    const char* reply;
    UpdateOutcome outcome;
  } cases[] = {
      {"version=3.05", UpdateOutcome::UpToDate},
      {"version=3.1&info=http://example.test/new", UpdateOutcome::Newer},
      {"version=0.9", UpdateOutcome::Nothing},
      {"info=http://example.test/", UpdateOutcome::Nothing},
      {"version=", UpdateOutcome::Nothing},
      {"HTTP/1.0 200 OK\r\n\r\nversion=3.04\r\n", UpdateOutcome::UpToDate},
  };
  for (const Case& c : cases) EXPECT_EQ(shell::judgeReply(shell::parseVersionReply(c.reply)), c.outcome) << c.reply;
}

TEST(UpdateCheck, TheInfoAddressEndsAtAnAmpersandOrTheEnd) {
  EXPECT_EQ(shell::parseVersionReply("version=3.1&info=http://a.test/x?y=1&z").info, "http://a.test/x?y=1");
  EXPECT_EQ(shell::parseVersionReply("version=3.1&info=https://a.test/n").info, "https://a.test/n");
  EXPECT_FALSE(shell::parseVersionReply("version=3.1").info);
}

TEST(UpdateCheck, OnlyPlainWebAddressesMayReachTheBrowser) {
  for (const char* good : {"http://www.zedirad.com/new", "https://a.test/x?y=1"})
    EXPECT_TRUE(shell::isBrowsableAddress(good)) << good;
  for (const char* bad : {"file:///C:/Windows/system32/calc.exe", "\\\\server\\share\\setup.exe",
                          "C:\\Windows\\notepad.exe", "http://", "HTTP://a.test", "https://a.test/ -x",
                          "http://a.test/\"x", "http://a.test/'x", "http://a.test/\tx", "http://a.test/\r\n",
                          "javascript:alert(1)", ""})
    EXPECT_FALSE(shell::isBrowsableAddress(bad)) << bad;
}

TEST(UpdateCheck, TheServerAndPathAreSettings) {
  auto settings = sys::makeMemorySettingsStore();
  EXPECT_EQ(shell::updateCheckUrl(*settings), "http://www.zedirad.com/razavo.txt");
  settings->write("Update", "Host", "127.0.0.1:8080");
  settings->write("Update", "Path", "version/razavo.txt");
  EXPECT_EQ(shell::updateCheckUrl(*settings), "http://127.0.0.1:8080/version/razavo.txt");
  settings->write("Update", "Host", "evil.test/@other");
  EXPECT_EQ(shell::updateCheckUrl(*settings), "");
}

class ScriptedResponse : public net::HttpResponse {
 public:
  ScriptedResponse(int status, std::string body, bool failRead) : m_status(status), m_body(std::move(body)), m_failRead(failRead) {}
  int status() override { return m_status; }
  std::optional<int64_t> contentLength() override { return std::nullopt; }
  long read(void* data, size_t bytes) override {
    if (m_failRead) return -1;
    // A server that trickles: at most 100 bytes a read.
    size_t count = std::min({bytes, m_body.size() - m_at, size_t{100}});
    std::memcpy(data, m_body.data() + m_at, count);
    m_at += count;
    return static_cast<long>(count);
  }

 private:
  int m_status;
  std::string m_body;
  bool m_failRead;
  size_t m_at = 0;
};

class ScriptedClient : public net::HttpClient {
 public:
  int status = 200;
  std::string body;
  bool failRead = false;
  bool refuse = false;
  std::unique_ptr<net::HttpResponse> open(const std::string&) override {
    if (refuse) return nullptr;
    return std::make_unique<ScriptedResponse>(status, body, failRead);
  }
};

class NoProgress : public net::DownloadProgress {
 public:
  bool cancel = false;
  void setLines(const std::string&, const std::string&) override {}
  void setProgress(int64_t, int64_t) override {}
  bool cancelled() override { return cancel; }
};

TEST(UpdateCheck, TheVersionFileIsReadUpToItsLimit) {
  ScriptedClient client;
  NoProgress progress;
  std::string reply;
  client.body = "version=3.1&info=http://a.test/" + std::string(1000, 'x');
  EXPECT_EQ(shell::fetchVersionReply(client, "http://a.test/v.txt", progress, reply), 0);
  EXPECT_EQ(reply.size(), shell::kVersionReplyLimit);
  EXPECT_EQ(shell::parseVersionReply(reply).version, 310);

  client.body = "version=3.05";
  EXPECT_EQ(shell::fetchVersionReply(client, "http://a.test/v.txt", progress, reply), 0);
  EXPECT_EQ(reply, "version=3.05");

  client.status = 404;
  client.body = "<html>version=9.99</html>";
  EXPECT_EQ(shell::fetchVersionReply(client, "http://a.test/v.txt", progress, reply), 2);
  client.status = 200;
  client.failRead = true;
  EXPECT_EQ(shell::fetchVersionReply(client, "http://a.test/v.txt", progress, reply), 2);
  client.refuse = true;
  EXPECT_EQ(shell::fetchVersionReply(client, "http://a.test/v.txt", progress, reply), 2);
  EXPECT_EQ(shell::fetchVersionReply(client, "", progress, reply), 2);
  client.refuse = false;
  client.failRead = false;
  progress.cancel = true;
  EXPECT_EQ(shell::fetchVersionReply(client, "http://a.test/v.txt", progress, reply), 1);
}

}  // namespace
