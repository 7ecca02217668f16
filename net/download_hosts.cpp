#include "net/download_hosts.h"

#include <cctype>

#include "net/installer_catalog.h"

namespace net {

namespace {

// Names, IPv4 addresses and a port; anything else (a path, a user name, a
// second URL) would change where the request goes.
bool isHostText(const std::string& host) {
  if (host.empty()) return false;
  for (char c : host)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ':') return false;
  return true;
}

}  // namespace

DownloadHosts readDownloadHosts(const sys::SettingsStore& settings) {
  return {settings.read(kDownloadSection, kComponentHostValue, kDefaultComponentHost),
          settings.read(kDownloadSection, kWebHostValue, kDefaultWebHost)};
}

std::string componentUrl(const std::string& host, const std::string& component) {
  if (!isHostText(host) || !isComponentName(component)) return {};
  return "https://" + host + "/components/" + component + ".exe";
}

}  // namespace net
