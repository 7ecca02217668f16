#include "net/install_on_demand.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fake_http.h"
#include "net/sha256.h"
#include "sys/environment.h"
#include "sys/folders.h"
#include "testkit/testkit.h"

namespace {

using nettest::FakeHttpClient;
using nettest::FakeProgress;
using nettest::FakeReply;

const std::string kComponent = "flacdec";
const std::string kFirstUrl = "https://first.test/components/flacdec.exe";
const std::string kSecondUrl = "https://second.test:8443/components/flacdec.exe";

// Records each run: the installer's bytes, where it was, and the quiet
// switch it saw; "installs" the component when told to.
class FakeRunner : public net::InstallerRunner {
 public:
  struct Run {
    std::string path;
    std::string bytes;
    std::optional<std::string> quiet;
  };
  std::vector<Run> runs;
  int result = net::kDone;
  bool registers = true;
  std::string* registry = nullptr;

  int run(const std::string& path, net::DownloadProgress&) override {
    std::vector<uint8_t> bytes = testkit::readAll(path);
    runs.push_back({path, std::string(bytes.begin(), bytes.end()), sys::environmentValue(net::kQuietVariable)});
    if (result == net::kDone && registers && registry) *registry = "C:\\Components\\flacdec\\flacdec.exe";
    return result;
  }
};

// Each test gets its own temporary folder (the download's parent) and the
// quiet switch as the test set it.
class InstallOnDemand : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"TMPDIR", "TMP", "TEMP"}) {
      saved.emplace_back(name, sys::environmentValue(name));
      sys::setEnvironmentValue(name, temp.path());
    }
    saved.emplace_back(net::kQuietVariable, sys::environmentValue(net::kQuietVariable));
    sys::setEnvironmentValue(net::kQuietVariable, std::nullopt);
    runner.registry = &registered;
  }
  void TearDown() override {
    for (auto& [name, value] : saved) sys::setEnvironmentValue(name, value);
  }

  int install(const std::string& name = kComponent) {
    net::ComponentSource source{client, runner, {"first.test", "second.test:8443"}, catalog,
                                [this](const std::string&) { return registered; }};
    return net::installComponentOnDemand(name, progress, source);
  }

  testkit::ScratchFolder temp;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved;
  const std::string installer = nettest::installerBytes(7000, 5);
  std::string tampered = [this] {
    std::string bytes = installer;
    bytes[3000] ^= 0x01;
    return bytes;
  }();
  net::InstallerCatalog catalog{{{kComponent, net::sha256Hex(installer.data(), installer.size())}}};
  FakeHttpClient client;
  FakeRunner runner;
  FakeProgress progress;
  std::string registered;
};

TEST_F(InstallOnDemand, RunsTheTrustedInstallerQuietlyFromAFreshFolderAndCleansUp) {
  client.replies[kFirstUrl] = {200, installer, true};
  EXPECT_EQ(install(), net::kDone);
  ASSERT_EQ(runner.runs.size(), 1u);
  EXPECT_EQ(runner.runs[0].bytes, installer);
  EXPECT_EQ(runner.runs[0].quiet, std::optional<std::string>("1"));
  // Not a fixed name in the temporary folder: a folder of its own inside it.
  std::filesystem::path download(runner.runs[0].path);
  EXPECT_EQ(download.filename(), "flacdec.exe");
  EXPECT_TRUE(std::filesystem::equivalent(download.parent_path().parent_path(), temp.path()));
  EXPECT_FALSE(sys::fileExists(runner.runs[0].path));
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
  EXPECT_EQ(progress.lines.front(), "Download install-on-demand|flacdec");
  EXPECT_EQ(progress.lines.back(), "Running install-on-demand|flacdec");
  EXPECT_EQ(client.requested, std::vector<std::string>{kFirstUrl});
}

TEST_F(InstallOnDemand, FirstHostFailuresFallBackToTheSecond) {
  struct Case {
    const char* what;
    std::optional<FakeReply> first;
  };
  const Case cases[] = {
      {"404", FakeReply{404, "missing", true}},
      {"unreachable", std::nullopt},
      {"cut short", FakeReply{200, installer.substr(0, 100), true, int64_t(7000)}},
  };
  for (const Case& c : cases) {
    client = {};
    runner.runs.clear();
    registered.clear();
    if (c.first) client.replies[kFirstUrl] = *c.first;
    client.replies[kSecondUrl] = {200, installer, false};
    EXPECT_EQ(install(), net::kDone) << c.what;
    EXPECT_EQ(client.requested, (std::vector<std::string>{kFirstUrl, kSecondUrl})) << c.what;
    ASSERT_EQ(runner.runs.size(), 1u) << c.what;
    EXPECT_EQ(runner.runs[0].bytes, installer) << c.what;
  }
}

TEST_F(InstallOnDemand, AnInstallerWeDoNotKnowNeverRuns) {
  client.replies[kFirstUrl] = {200, tampered, true};
  client.replies[kSecondUrl] = {200, tampered, true};
  EXPECT_EQ(install(), net::kFailed);
  EXPECT_TRUE(runner.runs.empty());
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));

  // A good copy on the second host is still used.
  client.replies[kSecondUrl] = {200, installer, true};
  EXPECT_EQ(install(), net::kDone);
  ASSERT_EQ(runner.runs.size(), 1u);
  EXPECT_EQ(runner.runs[0].bytes, installer);
}

TEST_F(InstallOnDemand, UnknownOrMalformedNamesFetchNothing) {
  client.replies["https://first.test/components/oggdec.exe"] = {200, installer, true};
  for (std::string name : {"oggdec", "../flacdec", "flac dec", ""}) {
    client.requested.clear();
    EXPECT_EQ(install(name), net::kFailed) << name;
    EXPECT_TRUE(client.requested.empty()) << name;
  }
  EXPECT_TRUE(runner.runs.empty());
}

TEST_F(InstallOnDemand, CancelIsNotRetriedAndLeavesNothingBehind) {
  client.replies[kFirstUrl] = {200, installer, true};
  client.replies[kSecondUrl] = {200, installer, true};
  progress.cancelAfterProgressCalls = 1;
  EXPECT_EQ(install(), net::kCancelled);
  EXPECT_EQ(client.requested, std::vector<std::string>{kFirstUrl});
  EXPECT_TRUE(runner.runs.empty());
  EXPECT_TRUE(sys::listFiles(temp.path()).empty());
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
}

TEST_F(InstallOnDemand, TheResultFollowsTheInstallerAndTheRegistration) {
  client.replies[kFirstUrl] = {200, installer, true};
  struct Case {
    const char* what;
    int runResult;
    bool registers;
    int expected;
  };
  const Case cases[] = {
      {"ended and registered", net::kDone, true, net::kDone},
      {"ended without registering", net::kDone, false, net::kFailed},
      {"the wait was cancelled", net::kCancelled, false, net::kCancelled},
      {"could not start", net::kFailed, false, net::kFailed},
  };
  for (const Case& c : cases) {
    registered.clear();
    runner.result = c.runResult;
    runner.registers = c.registers;
    EXPECT_EQ(install(), c.expected) << c.what;
  }
}

TEST_F(InstallOnDemand, TheQuietSwitchGetsBackItsEarlierState) {
  client.replies[kFirstUrl] = {200, installer, true};
  for (std::optional<std::string> before : {std::optional<std::string>(), std::optional<std::string>("yes")}) {
    sys::setEnvironmentValue(net::kQuietVariable, before);
    runner.runs.clear();
    install();
    ASSERT_EQ(runner.runs.size(), 1u);
    EXPECT_EQ(runner.runs[0].quiet, std::optional<std::string>("1"));
    EXPECT_EQ(sys::environmentValue(net::kQuietVariable), before);
  }
}

}  // namespace
