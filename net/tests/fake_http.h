#pragma once
// A scripted HTTP client and progress for the download tests.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "net/http_client.h"

namespace nettest {

struct FakeReply {
  FakeReply(int status = 200, std::string body = {}, bool sendLength = true,
            std::optional<int64_t> lengthOverride = std::nullopt)
      : status(status), body(std::move(body)), sendLength(sendLength), lengthOverride(lengthOverride) {}
  int status;
  std::string body;
  bool sendLength;
  std::optional<int64_t> lengthOverride;  // announce this instead of the body's size
  long failAfterBytes = -1;               // a read fails once this much was sent
};

class FakeHttpClient : public net::HttpClient {
 public:
  std::map<std::string, FakeReply> replies;  // by URL; others fail to open
  std::vector<std::string> requested;

  std::unique_ptr<net::HttpResponse> open(const std::string& url) override;
};

class FakeProgress : public net::DownloadProgress {
 public:
  std::vector<std::string> lines;
  int64_t lastDone = -1;
  int64_t lastTotal = -1;
  int progressCalls = 0;
  // Cancels once setProgress was called this many times (-1: never).
  int cancelAfterProgressCalls = -1;

  void setLines(const std::string& line1, const std::string& line2) override {
    lines.push_back(line1 + "|" + line2);
  }
  void setProgress(int64_t done, int64_t total) override {
    lastDone = done;
    lastTotal = total;
    ++progressCalls;
  }
  bool cancelled() override { return cancelAfterProgressCalls >= 0 && progressCalls >= cancelAfterProgressCalls; }
};

// Bytes that look like a small program, size chosen to span several reads.
std::string installerBytes(size_t size, char seed);

}  // namespace nettest
