#include "net/download_file.h"

#include <gtest/gtest.h>

#include "fake_http.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

using nettest::FakeHttpClient;
using nettest::FakeProgress;
using nettest::FakeReply;

const std::string kUrl = "https://host/components/x.exe";

std::string contentOf(const std::string& path) {
  std::vector<uint8_t> bytes = testkit::readAll(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(DownloadFile, CompleteBodiesAreWrittenWithOrWithoutALength) {
  const std::string body = nettest::installerBytes(5000, 1);
  struct Case {
    const char* what;
    FakeReply reply;
    int64_t barTotal;
  };
  const Case cases[] = {
      {"announced length", {200, body, true}, 5000},
      {"no length: the bar measures against 100,000", {200, body, false}, net::kAssumedContentLength},
      {"a 2xx other than 200", {203, body, true}, 5000},
      {"an empty body of length 0: the bar still has a total", {200, "", true}, 10},
  };
  for (const Case& c : cases) {
    testkit::ScratchFolder folder;
    FakeHttpClient client;
    client.replies[kUrl] = c.reply;
    FakeProgress progress;
    std::string path = folder.file("x.exe");
    EXPECT_EQ(net::downloadFile(client, kUrl, path, progress), net::kDone) << c.what;
    EXPECT_EQ(contentOf(path), c.reply.body) << c.what;
    if (!c.reply.body.empty()) {
      EXPECT_EQ(progress.lastTotal, c.barTotal) << c.what;
    }
  }
}

TEST(DownloadFile, FailuresLeaveNoFile) {
  const std::string body = nettest::installerBytes(5000, 2);
  FakeReply cutShort{200, body.substr(0, 3000), true};
  cutShort.lengthOverride = 5000;
  FakeReply tooLong{200, body, true};
  tooLong.lengthOverride = 4000;
  FakeReply readFails{200, body, true};
  readFails.failAfterBytes = 2048;
  struct Case {
    const char* what;
    std::optional<FakeReply> reply;
  };
  const Case cases[] = {
      {"cannot open", std::nullopt},
      {"404", FakeReply{404, "not found", true}},
      {"302 is not followed by us", FakeReply{302, "", true}},
      {"500", FakeReply{500, "", true}},
      {"ends before the announced length", cutShort},
      {"sends more than it announced", tooLong},
      {"a read fails midway", readFails},
  };
  for (const Case& c : cases) {
    testkit::ScratchFolder folder;
    FakeHttpClient client;
    if (c.reply) client.replies[kUrl] = *c.reply;
    FakeProgress progress;
    std::string path = folder.file("x.exe");
    EXPECT_EQ(net::downloadFile(client, kUrl, path, progress), net::kFailed) << c.what;
    EXPECT_FALSE(sys::fileExists(path)) << c.what;
  }
}

TEST(DownloadFile, CancelInTheMiddleDeletesThePartialFile) {
  testkit::ScratchFolder folder;
  FakeHttpClient client;
  client.replies[kUrl] = {200, nettest::installerBytes(20000, 3), true};
  FakeProgress progress;
  progress.cancelAfterProgressCalls = 2;
  std::string path = folder.file("x.exe");
  EXPECT_EQ(net::downloadFile(client, kUrl, path, progress), net::kCancelled);
  EXPECT_FALSE(sys::fileExists(path));
  EXPECT_TRUE(sys::listFiles(folder.path()).empty());
}

TEST(DownloadFile, AnExistingFileIsReplacedNotAppendedTo) {
  testkit::ScratchFolder folder;
  std::string path = folder.file("x.exe");
  ASSERT_TRUE(testkit::writeAll(path, std::vector<uint8_t>(9000, 0xEE)));
  FakeHttpClient client;
  client.replies[kUrl] = {200, "short body", true};
  FakeProgress progress;
  ASSERT_EQ(net::downloadFile(client, kUrl, path, progress), net::kDone);
  EXPECT_EQ(contentOf(path), "short body");
}

}  // namespace
