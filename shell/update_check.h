#pragma once
// The update check: a small version file on the maker's server names the
// newest version and a page about it. Reading it, and deciding what to tell
// the user, without any window.

#include <optional>
#include <string>

#include "net/http_client.h"
#include "sys/settings_store.h"

namespace shell {

// The running editor's version in the integer form: 3.05 times 100.
constexpr int kCurrentVersion = 305;
// The version file is read up to this many bytes.
constexpr size_t kVersionReplyLimit = 511;

// Where the version file is: settings of ours, section "Update".
constexpr const char* kUpdateSection = "Update";
constexpr const char* kUpdateHostValue = "Host";
constexpr const char* kUpdatePathValue = "Path";
constexpr const char* kDefaultUpdateHost = "www.zedirad.com";
constexpr const char* kDefaultUpdatePath = "/razavo.txt";
// The newest version the user chose to read about ("Settings").
constexpr const char* kLastCheckVersionValue = "LastCheckVersion";

// "http://<host><path>"; empty when the host or the path holds characters
// that do not belong there.
std::string updateCheckUrl(const sys::SettingsStore& settings);

// A version number as the integer of its value times 100, truncated
// ("3.05" gives 305, "3.1" 310); nothing when the text starts with no digit.
std::optional<int> versionNumber(const std::string& text);

struct VersionReply {
  std::optional<int> version;  // after "version="; below 100 counts as none
  std::optional<std::string> info;  // after "info=", up to the next '&'
};
VersionReply parseVersionReply(const std::string& reply);

// An address that may be handed to the browser: "http://" or "https://"
// followed by something, with no blank, no quote and no control character.
// Anything else (a "file:" address, a share, a program) could start a
// program on this machine.
bool isBrowsableAddress(const std::string& address);

enum class UpdateOutcome { Nothing, UpToDate, Newer };
// Nothing when the reply names no valid version.
UpdateOutcome judgeReply(const VersionReply& reply, int currentVersion = kCurrentVersion);

// Reads the version file into reply (at most kVersionReplyLimit bytes):
// 0 done, 1 cancelled, 2 failed (no connection, a status outside 200..299,
// or a failed read).
int fetchVersionReply(net::HttpClient& client, const std::string& url, net::DownloadProgress& progress,
                      std::string& reply);

}  // namespace shell
