#include "net/download_hosts.h"

#include <gtest/gtest.h>

#include <vector>

#include "net/installer_catalog.h"

namespace {

TEST(DownloadHosts, SettingsOverrideTheDefaultsOneByOne) {
  auto settings = sys::makeMemorySettingsStore();
  net::DownloadHosts hosts = net::readDownloadHosts(*settings);
  EXPECT_EQ(hosts.first, net::kDefaultComponentHost);
  EXPECT_EQ(hosts.second, net::kDefaultWebHost);

  settings->write("Download", "WebHost", "127.0.0.1:8443");
  hosts = net::readDownloadHosts(*settings);
  EXPECT_EQ(hosts.first, net::kDefaultComponentHost);
  EXPECT_EQ(hosts.second, "127.0.0.1:8443");
}

TEST(DownloadHosts, UrlsAreHttpsAndRefuseTextThatWouldRedirectThem) {
  struct Case {
    const char* host;
    const char* component;
    const char* url;
  };
  const Case cases[] = {
      {"components.zedirad.com", "flacdec", "https://components.zedirad.com/components/flacdec.exe"},
      {"127.0.0.1:8443", "mp3el", "https://127.0.0.1:8443/components/mp3el.exe"},
      {"", "flacdec", ""},
      {"evil.test/x?", "flacdec", ""},
      {"user@evil.test", "flacdec", ""},
      {"host", "../../x", ""},
      {"host", "a/b", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(net::componentUrl(c.host, c.component), c.url) << c.host << " " << c.component;
}

TEST(InstallerCatalog, MatchesOnlyTheListedHashOfThatComponent) {
  const std::string hash(64, 'a');
  net::InstallerCatalog catalog({{"flacdec", hash}, {"oggdec", std::string(64, 'b')}, {"broken", ""}});
  EXPECT_TRUE(catalog.matches("flacdec", hash));
  EXPECT_TRUE(catalog.matches("flacdec", std::string(64, 'A')));
  EXPECT_FALSE(catalog.matches("flacdec", std::string(64, 'b')));
  EXPECT_FALSE(catalog.matches("oggdec", hash));
  EXPECT_FALSE(catalog.matches("amrdec", hash));
  EXPECT_FALSE(catalog.matches("flacdec", hash.substr(1)));
  EXPECT_FALSE(catalog.matches("broken", ""));
  EXPECT_TRUE(catalog.knows("oggdec"));
  EXPECT_FALSE(catalog.knows("amrdec"));
}

TEST(InstallerCatalog, ComponentNamesAreSafeAsFileNames) {
  for (const char* good : {"mp3el", "flacdec", "a-b_c9"}) EXPECT_TRUE(net::isComponentName(good)) << good;
  for (const std::string& bad : std::vector<std::string>{"", "a.b", "..", "a/b", "a\\b", "a b", "a:b", std::string(65, 'x')})
    EXPECT_FALSE(net::isComponentName(bad)) << bad;
}

}  // namespace
