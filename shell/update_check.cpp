#include "shell/update_check.h"

#include <cctype>
#include <cstring>

#include "net/download_file.h"

namespace shell {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool fitsInUrl(const std::string& text, const char* allowed) {
  for (char c : text)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || std::strchr(allowed, c))) return false;
  return true;
}

}  // namespace

std::string updateCheckUrl(const sys::SettingsStore& settings) {
  std::string host = settings.read(kUpdateSection, kUpdateHostValue, kDefaultUpdateHost);
  std::string path = settings.read(kUpdateSection, kUpdatePathValue, kDefaultUpdatePath);
  if (path.empty() || path[0] != '/') path = "/" + path;
  if (!fitsInUrl(host, ".-:[]") || !fitsInUrl(path, "/._-~%?=&+")) return {};
  return "http://" + host + path;
}

// Decimal digits are read as digits, not as a floating-point number: 3.05
// would otherwise come out as 304.99... and truncate to 304.
std::optional<int> versionNumber(const std::string& text) {
  size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  if (at >= text.size() || !isDigit(text[at])) return std::nullopt;
  long long whole = 0;
  for (; at < text.size() && isDigit(text[at]); ++at) {
    whole = whole * 10 + (text[at] - '0');
    if (whole > 10000000) return std::nullopt;
  }
  int fraction = 0;
  if (at < text.size() && text[at] == '.') {
    ++at;
    for (int scale = 10; scale >= 1 && at < text.size() && isDigit(text[at]); scale /= 10, ++at)
      fraction += (text[at] - '0') * scale;
  }
  return static_cast<int>(whole * 100 + fraction);
}

VersionReply parseVersionReply(const std::string& reply) {
  VersionReply result;
  size_t version = reply.find("version=");
  if (version != std::string::npos) {
    std::optional<int> number = versionNumber(reply.substr(version + 8, 32));
    if (number && *number >= 100) result.version = number;
  }
  size_t info = reply.find("info=");
  if (info != std::string::npos) {
    size_t start = info + 5;
    size_t end = reply.find('&', start);
    result.info = reply.substr(start, end == std::string::npos ? std::string::npos : end - start);
  }
  return result;
}

bool isBrowsableAddress(const std::string& address) {
  size_t scheme = address.rfind("http://", 0) == 0 ? 7 : address.rfind("https://", 0) == 0 ? 8 : 0;
  if (scheme == 0 || address.size() == scheme) return false;
  for (char c : address) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte == 0x7F || c == '"' || c == '\'' || c == '`') return false;
  }
  return true;
}

UpdateOutcome judgeReply(const VersionReply& reply, int currentVersion) {
  if (!reply.version || currentVersion < 100) return UpdateOutcome::Nothing;
  return *reply.version > currentVersion ? UpdateOutcome::Newer : UpdateOutcome::UpToDate;
}

int fetchVersionReply(net::HttpClient& client, const std::string& url, net::DownloadProgress& progress,
                      std::string& reply) {
  reply.clear();
  if (url.empty()) return net::kFailed;
  std::unique_ptr<net::HttpResponse> response = client.open(url);
  if (progress.cancelled()) return net::kCancelled;
  if (!response) return net::kFailed;
  int status = response->status();
  if (status < 200 || status > 299) return net::kFailed;
  char buffer[kVersionReplyLimit];
  while (reply.size() < kVersionReplyLimit) {
    if (progress.cancelled()) return net::kCancelled;
    long got = response->read(buffer, kVersionReplyLimit - reply.size());
    if (got < 0) return net::kFailed;
    if (got == 0) break;
    reply.append(buffer, static_cast<size_t>(got));
  }
  return net::kDone;
}

}  // namespace shell
