#pragma once
// Where components are downloaded from: two hosts tried in order, both
// settings of the program, and the URL of a component's installer on them.

#include <string>

#include "sys/settings_store.h"

namespace net {

struct DownloadHosts {
  std::string first;   // the component-distribution host
  std::string second;  // the main web host
};

// Settings section and values; a host may carry a port ("127.0.0.1:8443").
constexpr const char* kDownloadSection = "Download";
constexpr const char* kComponentHostValue = "ComponentHost";
constexpr const char* kWebHostValue = "WebHost";
constexpr const char* kDefaultComponentHost = "components.zedirad.com";
constexpr const char* kDefaultWebHost = "www.zedirad.com";

DownloadHosts readDownloadHosts(const sys::SettingsStore& settings);

// "https://<host>/components/<component>.exe"; empty when the host is empty
// or holds characters that do not belong in a host name.
std::string componentUrl(const std::string& host, const std::string& component);

}  // namespace net
